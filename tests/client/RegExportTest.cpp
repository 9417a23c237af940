// Registry export files: both formats as Windows writes them, every refusal
// with its file and line, the limits at and one past the edge, and the
// current control set.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "client/RegExport.h"

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

const char kBody[] = R"(; exported by hand
[HKEY_LOCAL_MACHINE\SOFTWARE\Test]
"Path"="C:\\Windows \"quoted\""
@="default"
"N"=dword:0000002a
  "Wrapped"=hex:01,02,\
  03,ff
"Expand"=hex(2):25,00,00,00
"Multi"=hex(7):61,00,00,00,00,00
"Q"=hex(b):01,00,00,00,00,00,00,00
"None"=hex(0):
[hklm]
)";

}  // namespace

TEST(RegExport, ReadsBothFormatsAsWindowsWritesThem) {
    Export e;
    const std::string body = kBody;
    ASSERT_EQ(Parse(Version5(std::u16string(body.begin(), body.end())), e), "");
    EXPECT_EQ(e.format, regexport::Format::Version5);
    ASSERT_EQ(e.keys.size(), 2u);
    EXPECT_EQ(e.keys[0].path, u"SOFTWARE\\Test");
    EXPECT_EQ(e.keys[1].path, u"");
    const auto& v = e.keys[0].values;
    ASSERT_EQ(v.size(), 8u);
    const std::u16string path = u"C:\\Windows \"quoted\"";
    std::vector<uint8_t> wide;
    for (char16_t c : path + u'\0')
        wide.insert(wide.end(), {static_cast<uint8_t>(c), 0});
    EXPECT_EQ(v[0].name, u"Path");
    EXPECT_EQ(v[0].type, 1u);
    EXPECT_EQ(v[0].data, wide);
    EXPECT_EQ(v[1].name, u"");
    EXPECT_EQ(v[2].type, 4u);
    EXPECT_EQ(v[2].data, Bytes({0x2a, 0, 0, 0}));
    EXPECT_EQ(v[3].data, Bytes({1, 2, 3, 0xff}));
    EXPECT_EQ(v[3].type, 3u);
    EXPECT_EQ(v[4].type, 2u);
    EXPECT_EQ(v[5].type, 7u);
    EXPECT_EQ(v[5].data.size(), 6u);
    EXPECT_EQ(v[6].type, 11u);
    EXPECT_EQ(v[7].type, 0u);
    EXPECT_TRUE(v[7].data.empty());

    // REGEDIT4: the same lines, texts in single bytes (here code page 932).
    ASSERT_EQ(Parse(Regedit4(body + "[HKLM\\\x83\x61]\n\"\x83\x61\"=\"\x83\x61\"\n"), e), "");
    EXPECT_EQ(e.format, regexport::Format::Regedit4);
    const std::u16string withNul = path + u'\0';
    EXPECT_EQ(e.keys[0].values[0].data, std::vector<uint8_t>(withNul.begin(), withNul.end()));
    EXPECT_EQ(e.keys[2].path, std::u16string({0x83, 0x61}));
    EXPECT_EQ(e.keys[2].values[0].data, Bytes({0x83, 0x61, 0}));
}

TEST(RegExport, RefusesWhatItCannotLoadWithFileAndLine) {
    const std::pair<std::string, std::string> cases[] = {
        {"[HKLM\\A]\n[-HKLM\\A\\B]\n", "x.reg:4: deleting a key"},
        {"[HKLM\\A]\n\"V\"=-\n", "x.reg:4: deleting a value"},
        {"[HKEY_CURRENT_USER\\Software]\n", "x.reg:3: only keys under HKEY_LOCAL_MACHINE are read, not HKEY_CURRENT_USER"},
        {"\"V\"=dword:1\n", "x.reg:3: a value before the first [key]"},
        {"[HKLM\\A\n", "x.reg:3: a key line must end with ]"},
        {"[HKLM\\A\\\\B]\n", "x.reg:3: an empty key name"},
        {"[HKLM\\A]\n\n\"V\"=\"a\\tb\"\n", "x.reg:5: an escape other than"},
        {"[HKLM\\A]\n\"V\"=\"open\n", "x.reg:4: a quoted text without its closing quote"},
        {"[HKLM\\A]\n\"V\"=\"x\" y\n", "x.reg:4: text after the closing quote"},
        {"[HKLM\\A]\n\"V\"=dword:123456789\n", "x.reg:4: dword: takes 1 to 8 hex digits"},
        {"[HKLM\\A]\n\"V\"=hex(c):00\n", "x.reg:4: hex(N): takes a type from 0 to b"},
        {"[HKLM\\A]\n\"V\"=hex:0g\n", "x.reg:4: expected , between hex bytes"},
        {"[HKLM\\A]\n\"V\"=hex:00,\n", "x.reg:4: expected a hex byte"},
        {"[HKLM\\A]\n\"V\"=str(2):\"x\"\n", "x.reg:4: unknown value type"},
        {"[HKLM\\A]\n\"V\" dword:1\n", "x.reg:4: expected = after"},
        {"[HKLM\\A]\n\"V\"=hex:00,\\\n", "x.reg:4: the value is continued past the end of the file"},
        {"junk\n", "x.reg:3: expected a [key]"},
    };
    Export e;
    for (const auto& [body, error] : cases) {
        SCOPED_TRACE(body);
        EXPECT_EQ(Parse(Regedit4(body), e).substr(0, error.size()), error);
        EXPECT_EQ(Parse(Version5(std::u16string(body.begin(), body.end())), e).substr(0, error.size()), error);
    }
    // The header, and the encoding it needs.
    std::vector<uint8_t> v5Ansi = Regedit4(""), r4Wide = Version5(u"");
    std::string v5 = "Windows Registry Editor Version 5.00\r\n";
    v5Ansi.assign(v5.begin(), v5.end());
    std::u16string r4 = u"REGEDIT4";
    r4Wide.resize(2);
    for (char16_t c : r4)
        r4Wide.insert(r4Wide.end(), {static_cast<uint8_t>(c), 0});
    for (auto [bytes, error] : {std::pair{v5Ansi, "x.reg:1: a version 5.00 export must be UTF-16LE"},
                                {r4Wide, "x.reg:1: a REGEDIT4 export must be ANSI"},
                                {Bytes({}), "x.reg:1: not a registry export"},
                                {Bytes({'R', 'E', 'G'}), "x.reg:1: not a registry export"},
                                {Bytes({0xFF, 0xFE, 'W'}), "x.reg: a UTF-16 file of an odd number of bytes"}})
        EXPECT_EQ(Parse(bytes, e).substr(0, std::string(error).size()), error);
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

TEST(RegExport, TheCurrentControlSetIsTheSelectedOrTheOnlyOne) {
    struct Case {
        std::string body, mapped, firstPath;
    };
    const Case cases[] = {
        {"[HKLM\\SYSTEM\\ControlSet001\\Services]\n[HKLM\\SYSTEM\\ControlSet002]\n[HKLM\\SYSTEM\\Select]\n"
         "\"current\"=dword:00000002\n",
         "ControlSet002", "SYSTEM\\ControlSet001\\Services"},
        {"[HKLM\\system\\controlset001\\Services]\n", "ControlSet001", "SYSTEM\\CurrentControlSet\\Services"},
        // Select names a set the export lacks, or there are two and no Select.
        {"[HKLM\\SYSTEM\\ControlSet003]\n[HKLM\\SYSTEM\\Select]\n\"Current\"=dword:1\n", "ControlSet003",
         "SYSTEM\\CurrentControlSet"},
        {"[HKLM\\SYSTEM\\ControlSet001]\n[HKLM\\SYSTEM\\ControlSet002]\n", "", "SYSTEM\\ControlSet001"},
        {"[HKLM\\SYSTEM\\ControlSet0012]\n[HKLM\\SYSTEM\\ControlSetABC]\n", "", "SYSTEM\\ControlSet0012"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        std::vector<Export> exports(1);
        ASSERT_EQ(Parse(Regedit4(c.body), exports[0]), "");
        EXPECT_EQ(regexport::MapCurrentControlSet(exports), c.mapped);
        EXPECT_EQ(exports[0].keys[0].path, std::u16string(c.firstPath.begin(), c.firstPath.end()));
    }
    // Select and the sets in separate files.
    std::vector<Export> two(2);
    ASSERT_EQ(Parse(Regedit4("[HKLM\\SYSTEM\\Select]\n\"Current\"=dword:2\n"), two[0]), "");
    ASSERT_EQ(Parse(Regedit4("[HKLM\\SYSTEM\\ControlSet001]\n[HKLM\\SYSTEM\\ControlSet002\\Control]\n"), two[1]), "");
    EXPECT_EQ(regexport::MapCurrentControlSet(two), "ControlSet002");
    EXPECT_EQ(two[1].keys[1].path, u"SYSTEM\\CurrentControlSet\\Control");
}
