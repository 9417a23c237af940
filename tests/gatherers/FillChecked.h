// Fills a gatherer's data buffer (its own length, or `size` bytes) over 0xEE
// bytes, so unwritten bytes show, and checks that nothing was written past it;
// Facts gives what singdecode reads in it.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "decode/singdecode.h"
#include "framework/Gatherer.h"

inline std::vector<uint8_t> FillChecked(Gatherer& g, size_t size) {
    std::vector<uint8_t> buf(size + 8, 0xEE);
    EXPECT_EQ(g.FillDataBuf(buf.data()), 1u);
    EXPECT_EQ(std::vector<uint8_t>(buf.begin() + size, buf.end()), std::vector<uint8_t>(8, 0xEE)) << "written past";
    buf.resize(size);
    return buf;
}
inline std::vector<uint8_t> FillChecked(Gatherer& g) { return FillChecked(g, g.GetDataBufLen()); }

// The buffer's facts as singdecode's JSON, from the first field after the header.
inline std::string Facts(Gatherer& g, size_t size) {
    std::vector<uint8_t> b = FillChecked(g, size);
    singdecode::Decoded d = singdecode::ToJson(b.data(), b.size());
    EXPECT_TRUE(d.ok) << d.error;
    size_t header = d.json.find("\"header\":");
    size_t end = header == std::string::npos ? 0 : d.json.find('}', header) + 2;
    return d.json.substr(end, d.json.size() - end - 1);
}
inline std::string Facts(Gatherer& g) { return Facts(g, g.GetDataBufLen()); }
