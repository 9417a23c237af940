// Registry export files: both formats as Windows writes them, every refusal
// with its file and line and the current control set (the cases in
// regexport-cases.txt, which says what each key means), and the limits at
// and one past the edge.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "client/RegExport.h"
#include "support/CaseFile.h"

using regexport::Export;

namespace {

// A version 5 file as reg export writes it: UTF-16LE, byte-order mark, CRLF.
std::vector<uint8_t> Version5(const std::u16string& body) {
    std::u16string text = u"Windows Registry Editor Version 5.00\n\n" + body;
    std::vector<uint8_t> bytes = {0xFF, 0xFE};
    for (char16_t c : text) {
        if (c == u'\n')
            bytes.insert(bytes.end(), {'\r', 0});
        bytes.push_back(static_cast<uint8_t>(c));
        bytes.push_back(static_cast<uint8_t>(c >> 8));
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

std::vector<uint8_t> Bytes(std::initializer_list<int> b) { return {b.begin(), b.end()}; }

// Each key as [path], then its values as name=type:data bytes.
std::string Dump(const std::vector<Export>& exports) {
    std::string out;
    for (const Export& e : exports)
        for (const regexport::Key& k : e.keys) {
            out += (out.empty() ? "[" : " [") + std::string(k.path.begin(), k.path.end()) + "]";
            for (const regexport::Value& v : k.values) {
                out += " " + std::string(v.name.begin(), v.name.end()) + "=" + std::to_string(v.type) + ":";
                for (size_t i = 0; i < v.data.size(); ++i)
                    out += (i ? "," : "") + std::string(1, "0123456789abcdef"[v.data[i] >> 4]) +
                           "0123456789abcdef"[v.data[i] & 15];
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

TEST(RegExport, LimitsAtAndOnePastTheEdge) {
    Export e;
    // The file: 64 MiB of comment lines, each within the line limit.
    std::vector<uint8_t> file = Regedit4("");
    while (file.size() < regexport::kMaxFileBytes) {
        size_t n = std::min(regexport::kMaxLineChars, regexport::kMaxFileBytes - file.size()) - 1;
        file.push_back(';');
        file.insert(file.end(), n - 1, 'c');
        file.push_back('\n');
    }
    EXPECT_EQ(Parse(file, e), "");
    file.push_back('\n');
    EXPECT_EQ(Parse(file, e), "x.reg: larger than 67108864 bytes");
    file = {};

    // A line, alone and with its continuations (the backslash and the next
    // line's indent are not counted; the error names the line that crosses).
    const size_t line = regexport::kMaxLineChars;
    EXPECT_EQ(Parse(Regedit4(std::string(line, ';')), e), "");
    EXPECT_EQ(Parse(Regedit4(std::string(line + 1, ';')), e), "x.reg:3: a line longer than 4194304 characters");
    const std::string head = "[HKLM\\A]\n\"V\"=hex:00";  // 10 characters of the value line
    auto continued = [&](size_t spaces) {
        return Regedit4(head + std::string(line / 2, ' ') + "\\\n    ," + std::string(spaces, ' ') + "01");
    };
    EXPECT_EQ(Parse(continued(line / 2 - 13), e), "");
    EXPECT_EQ(e.keys[0].values[0].data, Bytes({0, 1}));
    EXPECT_EQ(Parse(continued(line / 2 - 12), e), "x.reg:5: a line longer than 4194304 characters");

    // A value's data: 1 MiB in hex, and as a text with its NUL.
    std::string hex = "[HKLM\\A]\n\"V\"=hex:00";
    for (size_t i = 1; i < regexport::kMaxValueBytes; ++i)
        hex += ",ab";
    EXPECT_EQ(Parse(Regedit4(hex), e), "");
    EXPECT_EQ(e.keys[0].values[0].data.size(), regexport::kMaxValueBytes);
    EXPECT_EQ(Parse(Regedit4(hex + ",cd"), e), "x.reg:4: value data larger than 1048576 bytes");
    const std::u16string text(regexport::kMaxValueBytes / 2 - 1, u'x');
    EXPECT_EQ(Parse(Version5(u"[HKLM\\A]\n\"V\"=\"" + text + u"\""), e), "");
    EXPECT_EQ(Parse(Version5(u"[HKLM\\A]\n\"V\"=\"" + text + u"y\""), e), "x.reg:4: value data larger than 1048576 bytes");

    // Keys.
    std::string keys;
    for (size_t i = 0; i < regexport::kMaxKeys; ++i)
        keys += "[HKLM\\K]\n";
    EXPECT_EQ(Parse(Regedit4(keys), e), "");
    EXPECT_EQ(e.keys.size(), regexport::kMaxKeys);
    EXPECT_EQ(Parse(Regedit4(keys + "[HKLM\\K]\n"), e).substr(0, 36), "x.reg:100003: more than 100000 keys:");
}
