// Fuzzes the host command line handling: tokenising, options, quoting,
// response files (served from memory), the directory fall-backs and the
// double-byte-aware separator scans.
// Input: NUL-separated pieces: the command text, the working directory, the
// executable path, then the response files "f0", "f1", ... The first byte's
// low bit selects Shift-JIS lead bytes or a single-byte code page.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/CmdLine.h"
#include "tests/support/MemoryFiles.h"

static bool ShiftJisLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> pieces(1);
    for (size_t i = 0; i < size; ++i)
        data[i] ? pieces.back() += static_cast<char>(data[i]) : pieces.emplace_back();
    pieces.resize(pieces.size() < 3 ? 3 : pieces.size());
    LeadByteTest lead = size > 0 && (data[0] & 1) ? ShiftJisLead : nullptr;
    MemoryFiles files;
    for (size_t i = 3; i < pieces.size(); ++i)
        files.files["f" + std::to_string(i - 3)] = pieces[i];
    CmdLine cmd(files, lead);
    HostFacts facts;
    facts.commandText = CopyText(pieces[0].c_str());
    facts.workingDir = CopyText(pieces[1].c_str());
    facts.exePath = CopyText(pieces[2].c_str());
    cmd.Apply(facts);  // also parses what follows the program name and splits the executable path
    char buf[16] = {};  // the separator helper on a tight buffer
    std::strncpy(buf, pieces[1].c_str(), sizeof buf - 1);
    AddTrailingBackslash(buf, sizeof buf, lead);
    uint16_t atom = 0;
    FindHandOverAtom(pieces[0].c_str(), &atom);
    return 0;
}
