// Case-file values with runs: "c{N}" stands for the byte c written N times,
// so a value of thousands of bytes takes one line (no OS headers).
#pragma once
#include <string>

inline std::string Runs(const std::string& s) {
    std::string out;
    for (size_t i = 0, close; i < s.size(); ++i) {
        if (s[i] == '{' && !out.empty() && (close = s.find('}', i)) != std::string::npos) {
            out.append(std::stoul(s.substr(i + 1, close - i - 1)) - 1, out.back());
            i = close;
        } else {
            out += s[i];
        }
    }
    return out;
}
