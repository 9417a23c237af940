#include "probes/IpxAddresses.h"

#include <windows.h>
#include <winsock.h>

#include <cstring>
#include <new>

#include "framework/DataBuf.h"
#include "platform/NetCalls.h"
#include "probes/AddressText.h"

namespace {
constexpr int kAfIpx = 6;
constexpr int kNsProtoIpx = 1000;
constexpr int kIpxMaxAdapterNum = 0x400D;
constexpr int kIpxAddress = 0x4007;
// IPX_ADDRESS_DATA: adapter number (i32), network (4 bytes), node (6 bytes),
// wan flag, status, max packet size, link speed: 24 bytes.
constexpr int kAddressDataSize = 24;
constexpr int kNetworkAt = 4;
constexpr int kNodeAt = 8;
// The transport's adapter count is not trusted beyond this.
constexpr int kMaxAdapters = 256;
}  // namespace

std::unique_ptr<IpxAddrNode> GetIpxAddresses() {
    IpxSocketApi& api = IpxSocketApi::Current();
    IpxSocketSession session(MAKEWORD(1, 1));
    if (!session.Started())
        return nullptr;
    ScopedIpxSocket s(api.Open(kAfIpx, SOCK_DGRAM, kNsProtoIpx));
    if (!s)
        return nullptr;
    uint8_t local[14] = {};
    databuf::PutU16(local, 0, kAfIpx);
    if (api.Bind(s.Get(), reinterpret_cast<const sockaddr*>(local), sizeof local) != 0)
        return nullptr;

    uint8_t count[4] = {};
    int size = sizeof count;
    if (api.GetOption(s.Get(), kNsProtoIpx, kIpxMaxAdapterNum, reinterpret_cast<char*>(count), &size) != 0)
        return nullptr;
    int32_t n = static_cast<int32_t>(databuf::GetU32(count, 0));
    if (n <= 0)
        return nullptr;
    if (n > kMaxAdapters)
        n = kMaxAdapters;

    std::unique_ptr<IpxAddrNode> head;
    std::unique_ptr<IpxAddrNode>* tail = &head;
    for (int32_t adapter = n - 1; adapter >= 0; --adapter) {
        uint8_t data[kAddressDataSize] = {};
        databuf::PutU32(data, 0, static_cast<uint32_t>(adapter));
        size = sizeof data;
        if (api.GetOption(s.Get(), kNsProtoIpx, kIpxAddress, reinterpret_cast<char*>(data), &size) != 0)
            continue;
        // Without memory the list ends with the addresses read so far.
        tail->reset(new (std::nothrow) IpxAddrNode);
        if (!*tail)
            break;
        FormatIpxAddress(data + kNetworkAt, data + kNodeAt, (*tail)->text);
        tail = &(*tail)->next;
    }
    return head;
}
