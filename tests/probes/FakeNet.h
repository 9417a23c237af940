// Chosen answers for the adapter probe's device calls and the IPX probe's
// socket calls, installed for the object's life.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>

#include "framework/DataBuf.h"
#include "platform/NetCalls.h"

// Devices answer by path and OID; every call is logged as one line.
class FakeDevices : public DeviceApi {
public:
    std::set<std::string> dosNames;  // names that already exist
    DWORD queryError = ERROR_FILE_NOT_FOUND;
    bool defineFails = false;
    std::map<std::string, std::map<DWORD, std::vector<uint8_t>>> answers;
    std::vector<std::string> log;

    FakeDevices() : previous(Install(this)) {}
    ~FakeDevices() override { Install(previous); }
    DWORD QueryDosName(const char* name, char*, DWORD size) override {
        log.push_back("query " + std::string(name) + " " + std::to_string(size));
        SetLastError(queryError);
        return static_cast<DWORD>(dosNames.count(name));
    }
    BOOL DefineDosName(DWORD flags, const char* name, const char* target) override {
        return log.push_back("define " + std::to_string(flags) + " " + name + " " + target), !defineFails;
    }
    HANDLE OpenDevice(const char* path, DWORD access, DWORD share, DWORD creation, DWORD attributes) override {
        log.push_back("open " + std::string(path));
        EXPECT_TRUE(access == GENERIC_READ && share == 3 && creation == OPEN_EXISTING && attributes == 0);
        auto it = answers.find(path);
        device = it == answers.end() ? nullptr : &it->second;
        return device ? reinterpret_cast<HANDLE>(0x44) : INVALID_HANDLE_VALUE;
    }
    BOOL IoControl(HANDLE, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize, DWORD* returned) override {
        DWORD oid = databuf::GetU32(static_cast<uint8_t*>(in), 0);
        log.push_back(oid == 0x02010102 ? "802.5" : oid == 0x01010102 ? "802.3" : "oid?");
        EXPECT_TRUE(code == 0x170002 && inSize == 4 && outSize == 4096);
        auto it = device->find(oid);
        if (it != device->end())
            std::memcpy(out, it->second.data(), std::min<size_t>(*returned = static_cast<DWORD>(it->second.size()), outSize));
        return it != device->end();
    }
    BOOL CloseDevice(HANDLE) override { return log.push_back("close"), TRUE; }

private:
    DeviceApi* previous;
    std::map<DWORD, std::vector<uint8_t>>* device = nullptr;
};

// An IPX transport with `adapterCount` adapters, of which those in
// `adapters` answer (4 network bytes, 6 node bytes).
class FakeIpx : public IpxSocketApi {
public:
    bool startupFails = false, socketFails = false;
    int32_t adapterCount = 0;
    std::map<int32_t, std::vector<uint8_t>> adapters;
    int startups = 0, cleanups = 0, closes = 0, addressQueries = 0;
    std::vector<uint8_t> bound;

    FakeIpx() : previous(Install(this)) {}
    ~FakeIpx() override { Install(previous); }
    int Startup(WORD version, WSADATA*) override {
        EXPECT_EQ(version, 0x0101);
        return ++startups, startupFails ? WSASYSNOTREADY : 0;
    }
    int Cleanup() override { return ++cleanups, 0; }
    SOCKET Open(int family, int type, int protocol) override {
        EXPECT_TRUE(family == 6 && type == 2 && protocol == 1000);
        return socketFails ? INVALID_SOCKET : 77;
    }
    int Bind(SOCKET, const sockaddr* a, int size) override {
        return bound.assign(reinterpret_cast<const uint8_t*>(a), reinterpret_cast<const uint8_t*>(a) + size), 0;
    }
    int GetOption(SOCKET, int level, int option, char* value, int* size) override {
        uint8_t* v = reinterpret_cast<uint8_t*>(value);
        EXPECT_EQ(level, 1000);
        if (option == 0x400D)
            return databuf::PutU32(v, 0, static_cast<uint32_t>(adapterCount)), 0;
        EXPECT_TRUE(option == 0x4007 && *size == 24);
        ++addressQueries;
        auto it = adapters.find(static_cast<int32_t>(databuf::GetU32(v, 0)));
        return it == adapters.end() ? SOCKET_ERROR : (std::memcpy(v + 4, it->second.data(), 10), 0);
    }
    int CloseSocket(SOCKET) override { return ++closes, 0; }

private:
    IpxSocketApi* previous;
};
