#include "Wmi.h"

#include <windows.h>
#include <wbemidl.h>

#include <iterator>

#include "Timing.h"
#include "platform/Handles.h"

namespace {

// A COM interface pointer, released once.
template <typename T>
struct ComTraits {
    using Type = T*;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type p) { return p != nullptr; }
    static void Close(Type p) { p->Release(); }
};
template <typename T>
using ComPtr = UniqueHandle<ComTraits<T>>;

struct BstrTraits {
    using Type = BSTR;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type s) { return s != nullptr; }
    static void Close(Type s) { SysFreeString(s); }
};
using Bstr = UniqueHandle<BstrTraits>;

// CoInitializeEx / CoUninitialize for the calling thread.
class ComApartment {
public:
    explicit ComApartment(DWORD model) : hr_(CoInitializeEx(nullptr, model)) {}
    ~ComApartment() {
        if (SUCCEEDED(hr_))
            CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    HRESULT Result() const { return hr_; }

private:
    HRESULT hr_;
};

// The WMI classes and properties that carry the facts the gatherers collect.
struct WmiQuery {
    const char* label;
    const wchar_t* wql;
    std::vector<const wchar_t*> properties;
};

const WmiQuery kQueries[] = {
    {"Win32_ComputerSystem", L"SELECT Name, Domain, Workgroup, UserName FROM Win32_ComputerSystem",
     {L"Name", L"Domain", L"Workgroup", L"UserName"}},
    {"Win32_OperatingSystem",
     L"SELECT CSName, RegisteredUser, Organization, SerialNumber, Version FROM Win32_OperatingSystem",
     {L"CSName", L"RegisteredUser", L"Organization", L"SerialNumber", L"Version"}},
    {"Win32_NetworkAdapterConfiguration",
     L"SELECT Description, MACAddress, IPAddress, IPSubnet, DefaultIPGateway, DNSHostName, DNSDomain, "
     L"DHCPEnabled, DNSServerSearchOrder FROM Win32_NetworkAdapterConfiguration",
     {L"Description", L"MACAddress", L"IPAddress", L"IPSubnet", L"DefaultIPGateway", L"DNSHostName", L"DNSDomain",
      L"DHCPEnabled", L"DNSServerSearchOrder"}},
    {"Win32_TimeZone", L"SELECT Caption, StandardName, DaylightName, Bias FROM Win32_TimeZone",
     {L"Caption", L"StandardName", L"DaylightName", L"Bias"}},
};

// Runs one query and reads every listed property of every object, as a
// consumer of the facts would. Returns the number of values read, or -1.
long RunQuery(IWbemServices* services, const WmiQuery& q) {
    Bstr language(SysAllocString(L"WQL")), text(SysAllocString(q.wql));
    ComPtr<IEnumWbemClassObject> rows;
    HRESULT hr = services->ExecQuery(language.Get(), text.Get(),
                                     WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY, nullptr,
                                     rows.Receive());
    if (FAILED(hr))
        return -1;
    long values = 0;
    for (;;) {
        ComPtr<IWbemClassObject> row;
        ULONG got = 0;
        hr = rows.Get()->Next(WBEM_INFINITE, 1, row.Receive(), &got);
        if (FAILED(hr))
            return -1;
        if (got == 0)
            break;
        for (const wchar_t* p : q.properties) {
            VARIANT v;
            VariantInit(&v);
            if (SUCCEEDED(row.Get()->Get(p, 0, &v, nullptr, nullptr)))
                ++values;
            VariantClear(&v);
        }
    }
    return values;
}

}  // namespace

WmiResult MeasureWmi(long reps) {
    WmiResult r;
    auto fail = [&r](const std::string& what) {
        r.error = what + " failed";
        return r;
    };
    ComApartment apartment(COINIT_MULTITHREADED);
    if (FAILED(apartment.Result()))
        return fail("CoInitializeEx");
    // Process-wide, and settable once: RPC_E_TOO_LATE means it is set already.
    HRESULT hr = CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT,
                                      RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr);
    if (FAILED(hr) && hr != RPC_E_TOO_LATE)
        return fail("CoInitializeSecurity");
    Stopwatch connect;
    ComPtr<IWbemLocator> locator;
    if (FAILED(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                                reinterpret_cast<void**>(locator.Receive()))))
        return fail("CoCreateInstance(WbemLocator)");
    ComPtr<IWbemServices> services;
    Bstr ns(SysAllocString(L"ROOT\\CIMV2"));
    if (FAILED(locator.Get()->ConnectServer(ns.Get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                            services.Receive())))
        return fail("ConnectServer(ROOT\\CIMV2)");
    CoSetProxyBlanket(services.Get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                      RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
    r.connectMicros = connect.Micros();

    std::vector<long> values;  // a warm-up, and the values each query yields
    for (const WmiQuery& q : kQueries) {
        values.push_back(RunQuery(services.Get(), q));
        if (values.back() < 0)
            return fail(std::string("query on ") + q.label);
    }
    std::vector<Summary> times =
        SampleRounds(reps, std::size(kQueries), [&](size_t k) { RunQuery(services.Get(), kQueries[k]); });
    r.rows.emplace_back("all four queries", times.back());
    for (size_t k = 0; k < std::size(kQueries); ++k)
        r.rows.emplace_back(std::string(kQueries[k].label) + " (" + std::to_string(values[k]) + " values)", times[k]);
    return r;
}
