// Fills a gatherer's data buffer (its own length) over 0xEE bytes, so
// unwritten bytes show, checks that nothing was written past it and gives
// what singdecode reads in it, from the first field after the header.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "decode/singdecode.h"
#include "framework/Gatherer.h"

inline std::string Facts(Gatherer& g) {
    const size_t size = g.GetDataBufLen();
    std::vector<uint8_t> b(size + 8, 0xEE);
    EXPECT_EQ(g.FillDataBuf(b.data()), 1u);
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + size, b.end()), std::vector<uint8_t>(8, 0xEE)) << "written past";
    singdecode::Decoded d = singdecode::ToJson(b.data(), size);
    EXPECT_TRUE(d.ok) << d.error;
    size_t header = d.json.find("\"header\":");
    size_t end = header == std::string::npos ? 0 : d.json.find('}', header) + 2;
    return d.json.substr(end, d.json.size() - end - 1);
}
