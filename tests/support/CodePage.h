// The local code page, for tests that check exact converted bytes.
#pragma once
#include <string>

bool LocalCodePageIs1252();

// Empty when the ANSI code page is double-byte (as in the runs under a
// ja_JP locale); else why not, for a skipped test. A run that sets
// SING_EXPECT_DBCS fails instead of skipping.
std::string NotDoubleByteCodePage();
