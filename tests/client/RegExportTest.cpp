// Registry export files: both formats as Windows writes them, every refusal
// with its file and line, the current control set, and the limits at and one
// past the edge (regexport-cases.txt says what each key means).
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "client/RegExport.h"
#include "support/CaseFile.h"

using regexport::Export;

namespace {

// A file with `body` after its header and a blank line: REGEDIT4 (ANSI,
// CRLF) or version 5 as reg export writes it (UTF-16LE, byte-order mark, CRLF).
std::vector<uint8_t> File(char format, const std::string& body) {
    if (format == '4') {
        std::string text = "REGEDIT4\r\n\r\n" + body;
        return {text.begin(), text.end()};
    }
    std::vector<uint8_t> bytes = {0xFF, 0xFE};
    for (char c : "Windows Registry Editor Version 5.00\n\n" + body) {
        if (c == '\n')
            bytes.insert(bytes.end(), {'\r', 0});
        bytes.insert(bytes.end(), {static_cast<uint8_t>(c), 0});
    }
    return bytes;
}

// Each key as [path], then its values as name=type:data bytes.
std::string Dump(const std::vector<Export>& exports) {
    std::string out;
    char hex[4];
    for (const Export& e : exports)
        for (const regexport::Key& k : e.keys) {
            out += (out.empty() ? "[" : " [") + std::string(k.path.begin(), k.path.end()) + "]";
            for (const regexport::Value& v : k.values) {
                out += " " + std::string(v.name.begin(), v.name.end()) + "=" + std::to_string(v.type) + ":";
                for (size_t i = 0; i < v.data.size(); ++i)
                    out += std::string(hex, std::snprintf(hex, sizeof hex, i ? ",%02x" : "%02x", v.data[i]));
            }
        }
    return out;
}

}  // namespace

TEST(RegExport, CasesFromTheCaseFile) {
    std::vector<TestCase> cases = ReadCases(SING_CASES_DIR "/client/regexport-cases.txt");
    ASSERT_GT(cases.size(), 40u);
    for (const TestCase& c : cases)
        for (char format : {'4', '5'}) {
            if ((c.Has("format") && c.Get("format")[0] != format) || (c.Has("bytes") && format == '5'))
                continue;
            SCOPED_TRACE(c.name + ", format " + format);
            std::string first = c.Get(c.Has("bytes") ? "bytes" : "body");
            const std::string& unit = c.Get("repeat");
            for (size_t n = c.Has("times") ? std::stoul(c.Get("times")) : 0; n > 0; --n)
                first += unit;
            first += c.Get("tail");
            std::vector<Export> exports(c.Has("second") ? 2 : 1);
            std::string error;
            for (size_t i = 0; i < exports.size() && error.empty(); ++i) {
                const std::string& text = i == 0 ? first : c.Get("second");
                std::vector<uint8_t> bytes = c.Has("bytes") ? std::vector<uint8_t>(text.begin(), text.end())
                                                            : File(format, text);
                const bool parsed = regexport::Parse("x.reg", bytes.data(), bytes.size(), exports[i], error);
                EXPECT_EQ(parsed, error.empty());  // a refusal always says why
            }
            if (c.Has("error")) {
                EXPECT_EQ(error.substr(0, c.Get("error").size()), c.Get("error"));
                continue;
            }
            ASSERT_EQ(error, "");
            EXPECT_EQ(exports[0].format, format == '4' ? regexport::Format::Regedit4 : regexport::Format::Version5);
            if (c.Has("repeat"))
                continue;  // too many keys or bytes to list: that it parses is the point
            EXPECT_EQ(regexport::MapCurrentControlSet(exports), c.Get("current"));
            EXPECT_EQ(Dump(exports), c.Get("keys"));
        }
}
