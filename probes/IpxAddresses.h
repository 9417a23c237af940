// IPX address probe: the network:node address of every IPX adapter, asked of
// the IPX transport through a Windows Sockets 1.1 IPX datagram socket.
#pragma once
#include <memory>

struct IpxAddrNode {
    IpxAddrNode() = default;
    IpxAddrNode(const IpxAddrNode&) = delete;
    IpxAddrNode& operator=(const IpxAddrNode&) = delete;
    // Unlinks the tail one node at a time rather than recursively.
    ~IpxAddrNode() {
        std::unique_ptr<IpxAddrNode> rest = std::move(next);
        while (rest)
            rest = std::move(rest->next);
    }
    std::unique_ptr<IpxAddrNode> next;
    char text[40] = {};  // network:node, 21 characters
};

// Highest adapter number first; null when Windows Sockets, the IPX socket or
// the adapter count is unavailable, or no adapter answers. Adapters whose
// address query fails are left out; without memory for a node the list
// ends there.
std::unique_ptr<IpxAddrNode> GetIpxAddresses();
