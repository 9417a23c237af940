#include "support/RegLayout.h"

#include <cctype>
#include <cstdlib>
#include <sstream>

namespace {

constexpr uint32_t kSz = 1, kExpandSz = 2, kBinary = 3, kDword = 4, kMultiSz = 7, kQword = 11;
constexpr size_t kMaxBlob = 1 << 20;

// Cursor over one line.
struct Line {
    const std::string& s;
    size_t pos = 0;
    void Skip() {
        while (pos < s.size() && (s[pos] == ' ' || s[pos] == '\t'))
            ++pos;
    }
    bool AtEnd() {
        Skip();
        return pos >= s.size() || s[pos] == ';';
    }
    bool Quoted(std::string& out) {
        Skip();
        if (pos >= s.size() || s[pos] != '"')
            return false;
        size_t end = s.find('"', pos + 1);
        if (end == std::string::npos)
            return false;
        out = s.substr(pos + 1, end - pos - 1);
        pos = end + 1;
        return true;
    }
    std::string Word() {
        Skip();
        size_t start = pos;
        while (pos < s.size() && s[pos] != ' ' && s[pos] != '\t' && s[pos] != ';')
            ++pos;
        return s.substr(start, pos - start);
    }
    bool Number(uint64_t& out, uint64_t max) {
        std::string w = Word();
        if (w.empty())
            return false;
        char* end = nullptr;
        out = std::strtoull(w.c_str(), &end, 0);
        return *end == '\0' && out <= max;
    }
};

void PutLittleEndian(std::vector<uint8_t>& data, uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        data.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

bool ParseValue(Line& line, LayoutValue& v) {
    if (!line.Quoted(v.name))
        return false;
    line.Skip();
    if (line.pos >= line.s.size() || line.s[line.pos] != '=')
        return false;
    ++line.pos;
    std::string type = line.Word();
    std::string text;
    uint64_t n = 0;
    if (type == "sz" || type == "expand") {
        v.type = type == "sz" ? kSz : kExpandSz;
        if (!line.Quoted(text))
            return false;
        v.data.assign(text.begin(), text.end());
        v.data.push_back(0);
    } else if (type == "multi") {
        v.type = kMultiSz;
        while (!line.AtEnd()) {
            if (!line.Quoted(text))
                return false;
            v.data.insert(v.data.end(), text.begin(), text.end());
            v.data.push_back(0);
        }
        if (v.data.empty())
            v.data.push_back(0);
        v.data.push_back(0);
    } else if (type == "dword" || type == "qword") {
        bool dword = type == "dword";
        v.type = dword ? kDword : kQword;
        if (!line.Number(n, dword ? 0xFFFFFFFFull : ~0ull))
            return false;
        PutLittleEndian(v.data, n, dword ? 4 : 8);
    } else if (type == "binary") {
        v.type = kBinary;
        if (!line.Number(n, kMaxBlob))
            return false;
        for (uint64_t i = 0; i < n; ++i)
            v.data.push_back(static_cast<uint8_t>(i * 37 + 11));
    } else if (type == "hex") {
        v.type = kBinary;
        while (!line.AtEnd()) {
            std::string w = line.Word();
            char* end = nullptr;
            unsigned long b = std::strtoul(w.c_str(), &end, 16);
            if (w.size() != 2 || *end != '\0' || b > 0xFF)
                return false;
            v.data.push_back(static_cast<uint8_t>(b));
        }
    } else {
        return false;
    }
    return line.AtEnd();
}

}  // namespace

bool ParseLayout(const std::string& text, std::vector<LayoutKey>& keys, std::string& error) {
    keys.clear();
    std::istringstream in(text);
    std::string s;
    for (int number = 1; std::getline(in, s); ++number) {
        if (!s.empty() && s.back() == '\r')
            s.pop_back();
        Line line{s};
        if (line.AtEnd())
            continue;
        bool ok = false;
        if (s[line.pos] == '[') {
            size_t end = s.find(']', line.pos);
            if (end != std::string::npos && end > line.pos + 1) {
                keys.push_back({s.substr(line.pos + 1, end - line.pos - 1), {}});
                line.pos = end + 1;
                ok = line.AtEnd();
            }
        } else if (!keys.empty()) {
            LayoutValue v;
            ok = ParseValue(line, v);
            if (ok)
                keys.back().values.push_back(std::move(v));
        }
        if (!ok) {
            error = "line " + std::to_string(number) + ": " + s;
            return false;
        }
    }
    return true;
}
