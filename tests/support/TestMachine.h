// Facts of the process and machine the tests run on.
#pragma once
#include <string>

// The folder of the running test program, where its child programs and
// test libraries are; no trailing separator.
std::string TestFolder();
// A text in this process's ANSI code page, as a wide text.
std::wstring Wide(const std::string& s);
