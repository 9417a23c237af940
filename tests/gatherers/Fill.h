// Runs a gatherer's length and fill over a buffer of 0xCC bytes, so that a
// byte the fill should have written (or cleared) and did not shows.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

template <typename G>
std::vector<uint8_t> Fill(G& g) {
    std::vector<uint8_t> buf(g.GetDataBufLen(), 0xCC);
    EXPECT_EQ(g.FillDataBuf(buf.data()), 1u);
    return buf;
}
