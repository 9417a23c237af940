// Registry export files: both formats as Windows writes them, every refusal
// with its file and line and the current control set (regexport-cases.txt
// says what each key means), and the limits at and one past the edge.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "client/RegExport.h"
#include "support/CaseFile.h"

using regexport::Export;

namespace {

// A version 5 file as reg export writes it: UTF-16LE, byte-order mark, CRLF.
std::vector<uint8_t> Version5(const std::u16string& body) {
    std::vector<uint8_t> bytes = {0xFF, 0xFE};
    for (char16_t c : u"Windows Registry Editor Version 5.00\n\n" + body) {
        if (c == u'\n')
            bytes.insert(bytes.end(), {'\r', 0});
        bytes.insert(bytes.end(), {static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8)});
    }
    return bytes;
}

std::vector<uint8_t> Regedit4(const std::string& body) {
    std::string text = "REGEDIT4\r\n\r\n" + body;
    return {text.begin(), text.end()};
}

// "" when the bytes parse, else the error.
std::string Parse(const std::vector<uint8_t>& bytes, Export& e) {
    std::string error;
    return regexport::Parse("x.reg", bytes.data(), bytes.size(), e, error) ? "" : error;
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
    ASSERT_GT(cases.size(), 25u);
    for (const TestCase& c : cases)
        for (char format : {'4', '5'}) {
            if ((c.Has("format") && c.Get("format")[0] != format) || (c.Has("bytes") && format == '5'))
                continue;
            SCOPED_TRACE(c.name + ", format " + format);
            auto file = [&](const std::string& text) {
                return c.Has("bytes") ? std::vector<uint8_t>(text.begin(), text.end())
                       : format == '4' ? Regedit4(text)
                                       : Version5(std::u16string(text.begin(), text.end()));
            };
            std::vector<Export> exports(c.Has("second") ? 2 : 1);
            std::string error = Parse(file(c.Get(c.Has("bytes") ? "bytes" : "body")), exports[0]);
            if (error.empty() && c.Has("second"))
                error = Parse(file(c.Get("second")), exports[1]);
            if (c.Has("error")) {
                EXPECT_EQ(error.substr(0, c.Get("error").size()), c.Get("error"));
                continue;
            }
            ASSERT_EQ(error, "");
            EXPECT_EQ(exports[0].format, format == '4' ? regexport::Format::Regedit4 : regexport::Format::Version5);
            EXPECT_EQ(regexport::MapCurrentControlSet(exports), c.Get("current"));
            EXPECT_EQ(Dump(exports), c.Get("keys"));
        }
}

// Each limit at the edge parses, one past is refused naming the line that
// crosses. A line with its continuations counts without the backslash and
// the next line's indent; a value's data counts a text's NUL.
TEST(RegExport, LimitsAtAndOnePastTheEdge) {
    const size_t line = regexport::kMaxLineChars;
    std::vector<uint8_t> file = Regedit4("");  // 64 MiB of comment lines, each within the line limit
    while (file.size() < regexport::kMaxFileBytes) {
        size_t n = std::min(line, regexport::kMaxFileBytes - file.size()) - 1;
        file.push_back(';');
        file.insert(file.end(), n - 1, 'c');
        file.push_back('\n');
    }
    const std::string head = "[HKLM\\A]\n\"V\"=hex:00";
    auto continued = [&](size_t spaces) {
        return Regedit4(head + std::string(line / 2, ' ') + "\\\n    ," + std::string(spaces, ' ') + "01");
    };
    std::string hex = head, keys;
    for (size_t i = 1; i < regexport::kMaxValueBytes; ++i)
        hex += ",ab";
    for (size_t i = 0; i < regexport::kMaxKeys; ++i)
        keys += "[HKLM\\K]\n";
    const std::u16string text = u"[HKLM\\A]\n\"V\"=\"" + std::u16string(regexport::kMaxValueBytes / 2 - 1, u'x');
    const std::string longLine = "x.reg:3: a line longer than 4194304 characters", big = "value data larger than 1048576 bytes";
    std::vector<std::pair<std::vector<uint8_t>, std::string>> cases = {
        {Regedit4(std::string(line, ';')), ""},
        {Regedit4(std::string(line + 1, ';')), longLine},
        {continued(line / 2 - 13), ""},
        {continued(line / 2 - 12), "x.reg:5" + longLine.substr(7)},
        {Regedit4(hex), ""},
        {Regedit4(hex + ",cd"), "x.reg:4: " + big},
        {Version5(text + u"\""), ""},
        {Version5(text + u"y\""), "x.reg:4: " + big},
        {Regedit4(keys), ""},
        {Regedit4(keys + "[HKLM\\K]\n"), "x.reg:100003: more than 100000 keys:"},
    };
    Export e;
    EXPECT_EQ(Parse(file, e), "");
    file.push_back('\n');
    EXPECT_EQ(Parse(file, e), "x.reg: larger than 67108864 bytes");
    for (const auto& [bytes, error] : cases)
        EXPECT_EQ(Parse(bytes, e).substr(0, error.empty() ? std::string::npos : error.size()), error) << error;
}
