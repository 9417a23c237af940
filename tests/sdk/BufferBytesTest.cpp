// Every gatherer's buffer byte for byte against an image written by this
// file's own little-endian writer (never the library's) from the steps of
// tests/sdk/buffer-cases.txt and the documented layout's numbers
// (documented_layout.json). Each image is also decoded: every text must come
// out under the field name it was written for.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "decode/Decoders.h"
#include "gatherers/IpGatherer.h"
#include "gatherers/IpxInfoGatherer.h"
#include "gatherers/KmzUserGatherer.h"
#include "gatherers/NetbiosGatherer.h"
#include "gatherers/RegionalInfoGatherer.h"
#include "gatherers/WinUserGatherer.h"
#include "support/CaseFile.h"
#include "support/ScratchHive.h"
#include "support/TempDir.h"
#include "tests/probes/FakeNet.h"

namespace {
using Bytes = std::vector<uint8_t>;

// The gatherer's buffer of `size` bytes (its own length when 0), filled over
// 0xEE bytes so that unwritten bytes show; nothing may land past it.
Bytes Fill(Gatherer& g, uint32_t size = 0) {
    size = size != 0 ? size : g.GetDataBufLen();
    Bytes buf(size + 8, 0xEE);
    EXPECT_EQ(g.FillDataBuf(buf.data()), 1u);
    EXPECT_EQ(Bytes(buf.begin() + size, buf.end()), Bytes(8, 0xEE)) << "written past the length";
    buf.resize(size);
    return buf;
}
template <class G>
Bytes Updated() {
    G g;
    g.Update();
    return Fill(g);
}

// kmzhwnic.dll's time zone: Newfoundland (three different biases), with the
// standard name given to the object.
const char* standardName;
uint32_t __stdcall Newfoundland(char* t1, char* t2, char* t3, int32_t* bias, int32_t* standard, int32_t* daylight,
                                uint32_t size) {
    std::strncpy(t1, standardName, size), std::strncpy(t2, "Newfoundland Daylight Time", size);
    std::strncpy(t3, "UTC-03:30", size);
    return *bias = 210, *standard = 0, *daylight = -60, 1;
}
struct TimeZone : TimezoneApi {
    explicit TimeZone(const char* name) { standardName = name; }
    TimezoneApi* previous = Install(this);
    ~TimeZone() override { Install(previous); }
    bool Load(GetTimezoneInfoFn* fn) override { return *fn = Newfoundland, true; }
};

// The gatherers as the images' "setup" lines name them.
const std::map<std::string, std::function<Bytes()>> kSetups = {
    {"winuser-empty", [] { WinUserGatherer g; return Fill(g); }},
    {"winuser-workgroup",
     [] {
         WinUserGatherer g;
         g.StoreFacts("jdoe", "PC-0815", "", "OFFICE", "Zo\xEB AG", "Jos\xE9 Pe\xF1" "a", "55274-OEM-0011903");
         return Fill(g);
     }},
    {"ip", [] { ScratchHive hive; hive.LoadLayout("../sdk/buffer_bytes"); return Updated<IpGatherer>(); }},
    {"netbios",
     [] {
         ScratchHive hive;
         hive.LoadLayout("../sdk/buffer_bytes");  // tests/sdk/buffer_bytes.reg
         FakeDevices dev;
         dev.answers["\\\\.\\E1G60"] = {{0x01010102, {0x00, 0x0C, 0x29, 0x3E, 0x5A, 0x7F}}};  // 802.3
         dev.answers["\\\\.\\IBMTOK"] = {{0x02010102, {0x10, 0x00, 0x5A, 0xB4, 0x02, 0xC1}}};  // 802.5
         return Updated<NetbiosGatherer>();
     }},
    {"kmzuser",
     [] {
         ScratchHive hive;
         TempDir tmp;
         hive.SetString("SOFTWARE\\Oberan\\Vantreel\\CurrentVersion", "Data", tmp.Path() + "\\");
         tmp.Write("kmzuser.ini", "[USER]\r\nHOME_PHONE=+49 30 1234567\r\nFIRST_NAME=J\xF6rg\r\n"
                                  "[LOCATION]\r\nCOUNTRY=Germany\r\nCITY=Berlin\r\n");
         return Updated<KmzUserGatherer>();
     }},
    {"ipx-none", [] { FakeIpx ipx; ipx.socketFails = true; return Updated<IpxInfoGatherer>(); }},
    {"ipx-two",
     [] {
         FakeIpx ipx;
         ipx.adapterCount = 3;  // adapter 1 does not answer
         ipx.adapters[0] = {0x00, 0x0A, 0x0B, 0x0C, 0x01, 0x02, 0x03, 0x04, 0x05, 0xAF};
         ipx.adapters[2] = {0xFE, 0xDC, 0xBA, 0x98, 0x00, 0x00, 0x1B, 0x2C, 0x3D, 0x4E};
         return Updated<IpxInfoGatherer>();
     }},
    {"regional-early",
     [] {
         TimeZone tz("");
         RegionalInfoGatherer g;
         uint32_t early = g.GetDataBufLen();
         g.Init();
         return Fill(g, early);
     }},
    {"regional", [] { TimeZone tz("Newfoundland Standard Time"); RegionalInfoGatherer g; g.Init(); return Fill(g); }},
};

// Little-endian, byte by byte: `width` bytes of `n` at `at`.
void Put(Bytes& bytes, uint32_t at, uint32_t n, size_t width) {
    for (size_t i = 0; i < width; ++i)
        bytes.at(at + i) = static_cast<uint8_t>(n >> (8 * i));
}

struct Image {
    std::string what, setup;
    Bytes bytes;
    std::vector<std::string> shows;  // what the decoded JSON must hold ("field":value)
};

// The images of the case file, written step by step.
std::vector<Image> ReadImages() {
    std::map<std::string, uint32_t> number;  // documented_layout.json's, without "SING_"
    std::ifstream layout(SING_CASES_DIR "/sdk/documented_layout.json");
    const std::regex entry("\"SING_(\\w+)\": (\\d+)");
    std::smatch m;
    for (std::string line; std::getline(layout, line);)
        if (std::regex_search(line, m, entry))
            number[m[1]] = static_cast<uint32_t>(std::stoul(m[2]));
    // NAME, NAME+K or a number.
    auto value = [&](const std::string& token) {
        const std::string name = token.substr(0, token.find('+'));
        const uint32_t k = name.size() < token.size() ? std::stoul(token.substr(name.size() + 1)) : 0;
        return k + (number.count(name) ? number.at(name) : static_cast<uint32_t>(std::stoul(name, nullptr, 0)));
    };
    std::vector<Image> images;
    std::ifstream in(SING_CASES_DIR "/sdk/buffer-cases.txt");
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::string step, a, width, v;
        words >> step >> a >> width >> v;
        Image* img = images.empty() ? nullptr : &images.back();
        const size_t q = line.find('"'), end = line.rfind('"');
        if (step == "==") {
            images.push_back({line.substr(3), "", {}, {}});
        } else if (step == "setup") {
            img->setup = a;
        } else if (step == "format") {
            img->bytes.assign(value(a + "_FIXED_SIZE"), 0);
            Put(img->bytes, value("HEADER_PACKET_ID"), value(a + "_PACKET_ID"), 4);
            Put(img->bytes, value("HEADER_VERSION"), value(a + "_VERSION"), 4);
        } else if (step == "put") {
            Put(img->bytes, value(a), value(v), std::stoul(width));
        } else if (step == "text" || step == "text32") {
            const std::string text = Unescape(line.substr(q + 1, end - q - 1)), field = line.substr(end + 1);
            if (a != "-")
                Put(img->bytes, value(a), static_cast<uint32_t>(img->bytes.size()), step == "text" ? 2 : 4);
            img->bytes.insert(img->bytes.end(), text.c_str(), text.c_str() + text.size() + 1);
            if (field.size() > 1)
                img->shows.push_back("\"" + field.substr(1) + "\":" + JsonString(text));
        } else if (step == "absent") {
            img->bytes.resize(img->bytes.size() + std::stoul(a), 0);
        } else if (step == "shows") {
            img->shows.push_back(line.substr(6));
        } else if (!step.empty() && step[0] != '#') {
            ADD_FAILURE() << "not a step: " << line;
        }
    }
    for (Image& i : images)
        Put(i.bytes, value("HEADER_LENGTH"), static_cast<uint32_t>(i.bytes.size()), 4);
    return images;
}

}  // namespace

TEST(BufferBytes, EveryGathererAgainstItsImage) {
    ASSERT_EQ(GetACP(), 1252u) << "the local texts of the set-ups are code page 1252";
    const std::vector<Image> images = ReadImages();
    ASSERT_EQ(images.size(), kSetups.size());
    for (const Image& want : images) {
        ASSERT_EQ(kSetups.count(want.setup), 1u) << want.what;
        EXPECT_EQ(kSetups.at(want.setup)(), want.bytes) << want.what;
        const uint32_t packet = sing_u32_at(want.bytes.data(), SING_HEADER_SIZE, SING_HEADER_PACKET_ID);
        DecodeResult r = DecodeBuffer(want.bytes.data(), want.bytes.size(), packet);
        EXPECT_TRUE(r.ok) << want.what << ": " << r.error;
        const std::string json = RenderJson(r.fields);
        for (const std::string& shown : want.shows) {
            const size_t at = json.find(shown);
            EXPECT_TRUE(at != std::string::npos && std::strchr(",}]", json[at + shown.size()]))
                << want.what << ": " << shown;
        }
    }
}
