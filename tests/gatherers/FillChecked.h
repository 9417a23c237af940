// Fills a gatherer's data buffer (its own length, or `size` bytes) over 0xEE
// bytes, so unwritten bytes show, and checks that nothing was written past it.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "framework/Gatherer.h"

inline std::vector<uint8_t> FillChecked(Gatherer& g, size_t size) {
    std::vector<uint8_t> buf(size + 8, 0xEE);
    EXPECT_EQ(g.FillDataBuf(buf.data()), 1u);
    EXPECT_EQ(std::vector<uint8_t>(buf.begin() + size, buf.end()), std::vector<uint8_t>(8, 0xEE)) << "written past";
    buf.resize(size);
    return buf;
}
inline std::vector<uint8_t> FillChecked(Gatherer& g) { return FillChecked(g, g.GetDataBufLen()); }
