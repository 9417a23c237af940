// Fills a gatherer's data buffer with guard bytes behind its length and
// checks that nothing was written past it.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "framework/Gatherer.h"

inline std::vector<uint8_t> FillChecked(Gatherer& g) {
    constexpr size_t kGuard = 8;
    std::vector<uint8_t> buf(g.GetDataBufLen() + kGuard, 0xEE);
    EXPECT_EQ(g.FillDataBuf(buf.data()), 1u);
    for (size_t i = buf.size() - kGuard; i < buf.size(); ++i)
        EXPECT_EQ(buf[i], 0xEE) << "written past the length at " << i;
    buf.resize(buf.size() - kGuard);
    return buf;
}
