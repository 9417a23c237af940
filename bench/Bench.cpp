// sing_bench: how long SING32.DLL takes to gather its facts, and how long the
// same facts take through WMI in the same process. Prints the median and
// spread of one full cycle of all gatherers, of each gatherer's Update and
// full cycle, and of four WMI queries, then the ratio of the medians. It
// also reports the library's file size and the private bytes its load adds,
// and times each registry-reading gatherer's Update beside its floor: the OS
// calls that fetch the same facts, made directly. With --layout the library
// reads one of the registry layouts of real machines instead of this one's.
#include <windows.h>
#include <lm.h>
#include <ntsecapi.h>
#include <wbemidl.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BagBench.h"
#include "Com.h"
#include "ProcessStats.h"
#include "ProcessModules.h"
#include "Stats.h"
#include "platform/Handles.h"
#include "client/RegistryStandIn.h"

namespace {

struct Options {
    std::string dll = "SING32.DLL";
    long reps = 1000;    // samples per SING32 measurement
    long wmiReps = 50;   // samples per WMI query
    long bagReps = 20;   // samples per large bag file
    bool bagOnly = false;
    std::string layout;  // a built-in registry layout, or this machine's registry
};

void Usage() {
    std::fputs(
        "usage: sing_bench [--reps N] [--wmi-reps M] [--bag-reps B] [--bag-only] [--dll PATH] [--layout NAME]\n"
        "  N samples of each SING32 measurement (default 1000), M samples of each\n"
        "  WMI query (default 50), B samples of each large bag file open (default 20;\n"
        "  --bag-only: nothing else). NAME: a registry layout the library reads instead\n"
        "  of this machine's (nt4, win2000, xp, win7, win10, win10up, or an export\n"
        "  file's path), except the network cards.\n",
        stderr);
}

bool ParseOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--bag-only") {
            o.bagOnly = true;
            continue;
        }
        if (i + 1 >= argc)
            return false;
        std::string v = argv[++i];
        char* end = nullptr;
        long n = std::strtol(v.c_str(), &end, 10);
        bool number = end != v.c_str() && *end == '\0' && n > 0;
        if (a == "--dll") o.dll = v;
        else if (a == "--layout") o.layout = v;
        else if (a == "--reps" && number) o.reps = n;
        else if (a == "--wmi-reps" && number) o.wmiReps = n;
        else if (a == "--bag-reps" && number) o.bagReps = n;
        else return false;
    }
    return true;
}

class Stopwatch {
public:
    Stopwatch() { QueryPerformanceCounter(&start_); }
    double Micros() const {
        static const double perMicro = [] {
            LARGE_INTEGER f;
            QueryPerformanceFrequency(&f);
            return double(f.QuadPart) / 1e6;
        }();
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return double(now.QuadPart - start_.QuadPart) / perMicro;
    }

private:
    LARGE_INTEGER start_;
};

template <typename Fn>
Summary Sample(long n, Fn fn) {
    std::vector<double> t;
    t.reserve(static_cast<size_t>(n));
    for (long i = 0; i < n; ++i) {
        Stopwatch w;
        fn();
        t.push_back(w.Micros());
    }
    return Summarize(std::move(t));
}

void PrintHeader() {
    std::puts("| Measurement | Samples | Median (us) | Min | P10 | P90 | Max |");
    std::puts("|---|---:|---:|---:|---:|---:|---:|");
}

void PrintRow(const std::string& what, const Summary& s) {
    std::printf("| %s | %zu | %.1f | %.1f | %.1f | %.1f | %.1f |\n", what.c_str(), s.count, s.median, s.min,
                s.p10, s.p90, s.max);
}

// ---- Floors: the OS calls that fetch a gatherer's facts, made directly in
// the order the gatherer needs them, each registry value read by name with
// one open, query and close. `calls` counts them.

const char kTcpip[] = "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters";
const char kInterfaces[] = "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces";
const char kCurrentVersion[] = "Software\\Microsoft\\Windows NT\\CurrentVersion";
const char kCards[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards";

struct Direct {
    long calls = 0;
    bool Open(HKEY parent, const char* path, ScopedRegKey& key) {
        calls += 2;  // the open and its close
        return RegOpenKeyExA(parent, path, 0, KEY_READ, key.Receive()) == ERROR_SUCCESS;
    }
    bool Query(HKEY key, const char* name, char (&data)[400]) {
        ++calls;
        DWORD size = sizeof data - 1;
        if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS)
            return false;
        data[size] = '\0';
        return true;
    }
    // Subkey number `index` of HKLM\path, opened; its name in `name`.
    template <size_t N>
    bool OpenSubkey(const char* path, DWORD index, char (&name)[N], ScopedRegKey& subkey) {
        ScopedRegKey list;
        DWORD length = N;
        ++calls;
        return Open(HKEY_LOCAL_MACHINE, path, list) &&
               RegEnumKeyExA(list.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
               Open(list.Get(), name, subkey);
    }
    bool Read(const char* path, const char* name, char (&data)[400]) {
        ScopedRegKey key;
        return Open(HKEY_LOCAL_MACHINE, path, key) && Query(key.Get(), name, data);
    }
};

long FloorIpInfo() {
    Direct d;
    char data[400];
    for (DWORD index = 0; index < 8; ++index) {
        ScopedRegKey adapters, itf;
        char name[40];
        if (!d.Open(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Adapters", adapters) ||
            !d.OpenSubkey(kInterfaces, index, name, itf))
            continue;
        std::string path = std::string(kInterfaces) + "\\" + name;
        d.Read(path.c_str(), "NameServer", data);
        d.Read(kTcpip, "Hostname", data);
        if (!d.Read(path.c_str(), "EnableDHCP", data))
            continue;
        bool dhcp = data[0] != 0 || data[1] != 0 || data[2] != 0 || data[3] != 0;
        static const char* const kStatic[] = {"IPAddress", "SubnetMask", "Domain", "DefaultGateway", "NameServer"};
        static const char* const kDhcp[] = {"DhcpIPAddress", "DhcpSubnetMask", "DhcpDomain", "DhcpDefaultGateway",
                                            "DhcpNameServer"};
        for (const char* value : dhcp ? kDhcp : kStatic)
            d.Read(path.c_str(), value, data);
    }
    return d.calls;
}

long FloorWindowsUserInfo() {
    Direct d;
    char data[400];
    DWORD size = 255;
    ++d.calls;
    GetComputerNameA(data, &size);
    if (d.Read("System\\CurrentControlSet\\Control", "CurrentUser", data) && std::string(data) == "USERNAME")
        d.Read("Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", "DefaultUserName", data);
    {
        ScopedNetApiBuffer info;
        d.calls += 2;
        NetWkstaGetInfo(nullptr, 100, info.Receive());
    }
    {
        LSA_OBJECT_ATTRIBUTES attributes{};
        ScopedLsaHandle policy;
        ScopedLsaMemory primary;
        d.calls += 4;
        if (LsaOpenPolicy(nullptr, &attributes, POLICY_VIEW_LOCAL_INFORMATION, policy.Receive()) == 0)
            LsaQueryInformationPolicy(policy.Get(), PolicyPrimaryDomainInformation, primary.Receive());
    }
    for (const char* value : {"RegisteredOrganization", "RegisteredOwner", "ProductId"})
        d.Read(kCurrentVersion, value, data);
    return d.calls;
}

long FloorNetbiosInfo() {
    Direct d;
    for (DWORD index = 0; index < 8; ++index) {
        char service[400] = "", description[400];
        {
            ScopedRegKey card;
            char name[256];
            if (!d.OpenSubkey(kCards, index, name, card))
                continue;
            d.Query(card.Get(), "Description", description);
            d.Query(card.Get(), "ServiceName", service);
        }
        char target[512];
        ++d.calls;
        if (service[0] == '\0' || QueryDosDeviceA(service, target, sizeof target) == 0)
            continue;
        std::string path = std::string("\\\\.\\") + service;
        d.calls += 2;
        ScopedHandle device(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
        if (!device)
            continue;
        for (DWORD oid : {0x02010102u, 0x01010102u}) {
            uint8_t answer[4096];
            DWORD returned = 0;
            ++d.calls;
            if (DeviceIoControl(device.Get(), 0x170002, &oid, sizeof oid, answer, sizeof answer, &returned, nullptr) &&
                returned == 6)
                break;
        }
    }
    return d.calls;
}

using FloorFn = long (*)();
FloorFn FloorOf(const std::string& gatherer) {
    if (gatherer == "WindowsUserInfo") return FloorWindowsUserInfo;
    if (gatherer == "IPInfo") return FloorIpInfo;
    if (gatherer == "NETBIOSInfo") return FloorNetbiosInfo;
    return nullptr;
}

// HKEY_LOCAL_MACHINE of this process redirected, for the object's life, to a
// scratch key holding a registry layout (a name in tests/layouts, or an
// export file's path), and this machine's network cards (the layout's cards
// have no drivers here).
class LayoutHive {
public:
    bool Load(const std::string& layout, std::string& error) {
        std::string file = layout.find(".reg") != std::string::npos ? layout : SING_LAYOUT_DIR "/" + layout + ".reg";
        if (!standIn_.Create(error) || !standIn_.LoadFiles({file}, error))
            return false;
        standIn_.KeepMachineNetworkCards();
        return standIn_.Redirect(error);
    }
    // This machine's registry again.
    void Restore() { standIn_.Restore(); }

private:
    RegistryStandIn standIn_;
};

// The WMI classes and properties that carry the facts the gatherers collect.
struct WmiQuery {
    const char* label;
    const wchar_t* wql;
    std::vector<const wchar_t*> properties;
};

const std::vector<WmiQuery>& Queries() {
    static const std::vector<WmiQuery> q = {
        {"Win32_ComputerSystem", L"SELECT Name, Domain, Workgroup, UserName FROM Win32_ComputerSystem",
         {L"Name", L"Domain", L"Workgroup", L"UserName"}},
        {"Win32_OperatingSystem",
         L"SELECT CSName, RegisteredUser, Organization, SerialNumber, Version FROM Win32_OperatingSystem",
         {L"CSName", L"RegisteredUser", L"Organization", L"SerialNumber", L"Version"}},
        {"Win32_NetworkAdapterConfiguration",
         L"SELECT Description, MACAddress, IPAddress, IPSubnet, DefaultIPGateway, DNSHostName, DNSDomain, "
         L"DHCPEnabled, DNSServerSearchOrder FROM Win32_NetworkAdapterConfiguration",
         {L"Description", L"MACAddress", L"IPAddress", L"IPSubnet", L"DefaultIPGateway", L"DNSHostName",
          L"DNSDomain", L"DHCPEnabled", L"DNSServerSearchOrder"}},
        {"Win32_TimeZone", L"SELECT Caption, StandardName, DaylightName, Bias FROM Win32_TimeZone",
         {L"Caption", L"StandardName", L"DaylightName", L"Bias"}},
    };
    return q;
}

// A BSTR owned for the length of a call.
class Bstr {
public:
    explicit Bstr(const wchar_t* s) : s_(SysAllocString(s)) {}
    ~Bstr() { SysFreeString(s_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR Get() const { return s_; }

private:
    BSTR s_;
};

// Runs one query and reads every listed property of every object, as a
// consumer of the facts would. Returns the number of values read, or -1.
long RunQuery(IWbemServices* services, const WmiQuery& q) {
    Bstr language(L"WQL"), text(q.wql);
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
        hr = rows->Next(WBEM_INFINITE, 1, row.Receive(), &got);
        if (FAILED(hr))
            return -1;
        if (got == 0)
            break;
        for (const wchar_t* p : q.properties) {
            VARIANT v;
            VariantInit(&v);
            if (SUCCEEDED(row->Get(p, 0, &v, nullptr, nullptr)))
                ++values;
            VariantClear(&v);
        }
    }
    return values;
}

struct WmiResult {
    bool ok = false;
    std::string error;
    double connectMicros = 0;
    std::vector<Summary> perQuery;
    std::vector<long> values;
    Summary all;
};

WmiResult MeasureWmi(long reps) {
    WmiResult r;
    ComApartment apartment(COINIT_MULTITHREADED);
    if (FAILED(apartment.Result())) {
        r.error = "CoInitializeEx failed";
        return r;
    }
    if (FAILED(EnsureComSecurity())) {
        r.error = "CoInitializeSecurity failed";
        return r;
    }
    Stopwatch connect;
    ComPtr<IWbemLocator> locator;
    HRESULT hr = CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                                  locator.ReceiveVoid());
    if (FAILED(hr)) {
        r.error = "CoCreateInstance(WbemLocator) failed";
        return r;
    }
    ComPtr<IWbemServices> services;
    Bstr ns(L"ROOT\\CIMV2");
    hr = locator->ConnectServer(ns.Get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr, services.Receive());
    if (FAILED(hr)) {
        r.error = "ConnectServer(ROOT\\CIMV2) failed";
        return r;
    }
    CoSetProxyBlanket(services.Get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                      RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
    r.connectMicros = connect.Micros();

    const auto& queries = Queries();
    for (const WmiQuery& q : queries) {  // warm-up, and the values each query yields
        long n = RunQuery(services.Get(), q);
        if (n < 0) {
            r.error = std::string("query on ") + q.label + " failed";
            return r;
        }
        r.values.push_back(n);
    }
    std::vector<std::vector<double>> samples(queries.size());
    std::vector<double> totals;
    for (long i = 0; i < reps; ++i) {
        double total = 0;
        for (size_t k = 0; k < queries.size(); ++k) {
            Stopwatch w;
            RunQuery(services.Get(), queries[k]);
            double t = w.Micros();
            samples[k].push_back(t);
            total += t;
        }
        totals.push_back(total);
    }
    for (auto& s : samples)
        r.perQuery.push_back(Summarize(std::move(s)));
    r.all = Summarize(std::move(totals));
    r.ok = true;
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!ParseOptions(argc, argv, o)) {
        Usage();
        return 2;
    }
    std::setvbuf(stdout, nullptr, _IONBF, 0);

    std::string error;
    LargeBagFiles bags;
    if (!bags.Create(error)) {
        std::fprintf(stderr, "sing_bench: %s\n", error.c_str());
        return 2;
    }
    std::puts("Large bag files opened through BagFile, as SING_FillDMIInfo opens its file");
    PrintHeader();
    for (const auto& f : bags.Files())
        PrintRow(f.label + (LargeBagFiles::Open(f.path) ? ": opened" : ": refused"),
                 Sample(o.bagReps, [&] { LargeBagFiles::Open(f.path); }));
    if (o.bagOnly)
        return 0;

    SingClient lib;
    std::vector<uint8_t> buf;
    LayoutHive hive;
    if (!o.layout.empty() && !hive.Load(o.layout, error)) {
        std::fprintf(stderr, "sing_bench: layout %s: %s\n", o.layout.c_str(), error.c_str());
        return 2;
    }
    // A first load and cycle, then unload, leaves the system DLLs the library
    // uses loaded (as in an agent), so the footprint below is the library's.
    std::vector<HMODULE> modulesBefore = LoadedModules();
    if (!lib.Load(o.dll, error)) {
        std::fprintf(stderr, "sing_bench: %s\n", error.c_str());
        return 2;
    }
    CycleAll(lib, lib.Discover(), buf);
    PinSystemModules(modulesBefore);
    lib.Unload();

    ProcessStats beforeLoad = ProcessStats::Now();
    Stopwatch loadTime;
    if (!lib.Load(o.dll, error)) {
        std::fprintf(stderr, "sing_bench: %s\n", error.c_str());
        return 2;
    }
    double loadMicros = loadTime.Micros();
    ProcessStats afterLoad = ProcessStats::Now();
    auto gatherers = lib.Discover();
    bool consistent = CycleAll(lib, gatherers, buf);
    ProcessStats afterCycle = ProcessStats::Now();
    std::string path = lib.ModulePath();

    std::printf("library: %s\n", path.c_str());
    std::printf("footprint: file %lld bytes; private bytes +%lld KB after loading it with its companion DLLs (%.0f us), "
                "+%lld KB after the first full cycle\n",
                FileSize(path), (afterLoad.privateBytes - beforeLoad.privateBytes) / 1024, loadMicros,
                (afterCycle.privateBytes - beforeLoad.privateBytes) / 1024);
    std::printf("gatherers registered: %zu\n", gatherers.size());
    if (!consistent)
        std::puts("warning: a gatherer returned an inconsistent buffer");
    for (int i = 0; i < 5; ++i)
        CycleAll(lib, gatherers, buf);

    std::puts("\nSING32.DLL");
    PrintHeader();
    Summary full = Sample(o.reps, [&] { CycleAll(lib, gatherers, buf); });
    PrintRow("full cycle, all " + std::to_string(gatherers.size()) + " gatherers", full);
    for (const auto& g : gatherers) {
        std::string label = "\"" + g.name + "\" (" + std::to_string(g.index) + ")";
        lib.init(g.index);
        PrintRow(label + " Update", Sample(o.reps, [&] { lib.update(g.index, nullptr, 0); }));
        lib.close(g.index);
        PrintRow(label + " full cycle", Sample(o.reps, [&] { lib.FullCycle(g.index, buf); }));
    }

    // Update and its floor alternate, so that both see the same load.
    std::printf("\nUpdate beside its floor (the OS calls that fetch the same facts, made directly); registry: %s\n",
                o.layout.empty() ? "this machine's" : ("layout " + o.layout).c_str());
    std::puts("| Gatherer | Samples | Update median (us) | Floor median (us) | Floor OS calls | Update / floor |");
    std::puts("|---|---:|---:|---:|---:|---:|");
    for (const auto& g : gatherers) {
        FloorFn floor = FloorOf(g.name);
        if (floor == nullptr)
            continue;
        lib.init(g.index);
        long calls = floor();
        std::vector<double> updates, floors;
        for (long i = 0; i < o.reps; ++i) {
            Stopwatch u;
            lib.update(g.index, nullptr, 0);
            updates.push_back(u.Micros());
            Stopwatch f;
            floor();
            floors.push_back(f.Micros());
        }
        lib.close(g.index);
        Summary su = Summarize(std::move(updates)), sf = Summarize(std::move(floors));
        std::printf("| \"%s\" (%u) | %zu | %.1f | %.1f | %ld | %.2fx |\n", g.name.c_str(), g.index, su.count,
                    su.median, sf.median, calls, sf.median > 0 ? su.median / sf.median : 0.0);
    }
    hive.Restore();

    WmiResult wmi = MeasureWmi(o.wmiReps);
    std::puts("\nWMI, in-process, one IWbemServices connection to ROOT\\CIMV2");
    if (!wmi.ok) {
        std::printf("WMI measurement failed: %s\n", wmi.error.c_str());
        return 1;
    }
    std::printf("connect (locator + ConnectServer, once): %.1f us\n", wmi.connectMicros);
    PrintHeader();
    PrintRow("all four queries", wmi.all);
    for (size_t k = 0; k < Queries().size(); ++k)
        PrintRow(std::string(Queries()[k].label) + " (" + std::to_string(wmi.values[k]) + " values)",
                 wmi.perQuery[k]);

    std::puts("");
    if (gatherers.empty() || full.median <= 0) {
        std::puts("ratio: n/a (no gatherer registered)");
    } else {
        double ratio = wmi.all.median / full.median;
        std::printf("ratio of medians, WMI queries / SING32 full cycle: %.1fx (target >= 20x: %s)\n", ratio,
                    ratio >= 20 ? "met" : "NOT met");
    }
    return 0;
}
