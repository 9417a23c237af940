// Fuzzes the host command line handling: tokenising, options, quoting,
// response files (served from memory), the directory fall-backs and the
// double-byte-aware separator scans.
//
// Input: NUL-separated pieces. Piece 0 is the command text, piece 1 the
// working directory, piece 2 the executable path; pieces 3.. are the
// response files "f0", "f1", ... The first byte's low bit selects a
// double-byte code page (Shift-JIS lead bytes) or a single-byte one.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/CmdLine.h"
#include "tests/support/MemoryFiles.h"

namespace {

bool ShiftJisLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
bool NoLead(unsigned char) { return false; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> pieces(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            pieces.emplace_back();
        else
            pieces.back() += static_cast<char>(data[i]);
    }
    while (pieces.size() < 3)
        pieces.emplace_back();
    LeadByteTest lead = size > 0 && (data[0] & 1) ? ShiftJisLead : NoLead;

    MemoryFiles files;
    for (size_t i = 3; i < pieces.size(); ++i)
        files.files["f" + std::to_string(i - 3)] = pieces[i];
    CmdLine cmd(files, lead);
    HostFacts facts;
    facts.commandText = CopyText(pieces[0].c_str());
    facts.workingDir = CopyText(pieces[1].c_str());
    facts.exePath = CopyText(pieces[2].c_str());
    cmd.Apply(facts);

    CmdLine direct(files, lead);
    direct.Parse(pieces[0].c_str());

    // The separator helpers on a tight buffer.
    char buf[16];
    size_t n = pieces[1].size() < sizeof buf - 1 ? pieces[1].size() : sizeof buf - 1;
    std::memcpy(buf, pieces[1].data(), n);
    buf[n] = '\0';
    AddTrailingBackslash(buf, sizeof buf, lead);
    DirectoryPartLength(pieces[2].c_str(), lead);
    uint16_t atom = 0;
    FindHandOverAtom(pieces[0].c_str(), &atom);
    return 0;
}
