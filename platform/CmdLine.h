// The host process's settings as this module sees them: working directory,
// the executable's directory, the product's data and log directories, and the
// options on the host's command line (or in the text a global atom hands
// over, or in response files named with "@").
//
// This header and CmdLine.cpp are free of OS headers: tokenising, option
// handling and the directory fall-backs work on texts and a response-file
// reader given to them. CmdLineWin.cpp gathers the facts from Windows.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

using OwnedText = std::unique_ptr<char[]>;

// A heap copy of s (null for a null s, or when there is no memory for it).
OwnedText CopyText(const char* s);

// True when the byte starts a two-byte character in the code page in use.
using LeadByteTest = bool (*)(unsigned char);

// Appends "\" to the text in `buf` unless its last character already is one
// (a two-byte character ending in the byte 0x5C is not a separator). `room`
// is the size of buf. False, text unchanged, when the backslash does not fit
// or the text is empty.
bool AddTrailingBackslash(char* buf, size_t room, LeadByteTest isLeadByte);

// Length of the directory part of a path: up to and including the last '\',
// '/' or ':' that is not the second byte of a two-byte character; 0 when the
// path has none.
size_t DirectoryPartLength(const char* path, LeadByteTest isLeadByte);

// The atom named by "/XCL:<number>" in a command line (the number's low 16
// bits, read as atol reads it). False when the text holds no "/XCL:".
bool FindHandOverAtom(const char* commandLine, uint16_t* atom);

// Where CmdLine::Parse gets the contents of a response file.
class ResponseFileReader {
public:
    // The named file whole, NUL-terminated. Null when it cannot be opened or
    // read, holds more than `maxBytes` bytes, or there is no memory for it.
    virtual OwnedText Read(const char* name, size_t maxBytes) = 0;

protected:
    // Readers are not deleted through this interface.
    ~ResponseFileReader() = default;
};

// What Setup reads from the process and the registry. A null text (not
// readable, or no memory for it) counts as the empty text.
struct HostFacts {
    OwnedText workingDir;       // as the OS reports it, no separator added
    OwnedText exePath;          // the host executable's file name
    OwnedText commandText;      // the command line, or the atom's text
    OwnedText registryDataDir;  // value "Data" with its backslash, or null
    OwnedText registryLogDir;   // value "LogDir" with its backslash, or null
};

// The host settings key's values "Data" and "LogDir", each a heap text
// ending in a backslash; null when the key or a non-empty REG_SZ value of at
// most 255 characters is not there. Windows.
OwnedText QueryDataDir();
OwnedText QueryLogDir();

class CmdLine {
public:
    // Response files nest at most this deep, at most this many are read by
    // one CmdLine, and a file already open further up the chain is not read
    // again. Larger files are not read.
    static constexpr unsigned kMaxResponseDepth = 8;
    static constexpr unsigned kMaxResponseFiles = 64;
    static constexpr size_t kMaxResponseFileBytes = 1u << 20;

    // Reads the host's settings (Setup) when parseFlag is nonzero. Windows.
    explicit CmdLine(uint32_t parseFlag);
    // Nothing read yet; response files come from `files`.
    CmdLine(ResponseFileReader& files, LeadByteTest isLeadByte);
    virtual ~CmdLine();
    CmdLine(const CmdLine&) = delete;
    CmdLine& operator=(const CmdLine&) = delete;

    // Gathers the facts from Windows and applies them. Windows.
    void Setup();
    // The OS-independent part of Setup: directories with their fall-backs,
    // then the text after the program name is kept and parsed.
    void Apply(HostFacts& facts);
    // Splits a text into options, response files and plain arguments.
    void Parse(const char* text);
    // Stores one option; `value` is null for an option without ':'. Plain
    // arguments arrive with the empty name.
    virtual void HandleOption(const char* name, const char* value);

    // The data directory; null only when there was no memory for it.
    const char* GetDataDir() const { return dataDir.get(); }

protected:
    // The parsed state, for a derived class's HandleOption; nothing in this
    // module reads it beyond the data directory. Texts are null until set
    // (or when there was no memory for them).
    uint32_t nGiven = 0;
    uint32_t managerFlag = 0;
    OwnedText nValue;
    OwnedText n2Value;
    OwnedText n3Value;
    OwnedText lValue;
    OwnedText rValue;
    OwnedText moduleDir;
    OwnedText startDir;
    OwnedText sValue;
    OwnedText uidValue;
    OwnedText argText;
    uint32_t initFlag = 0;
    OwnedText mnValue;
    OwnedText gnValue;
    OwnedText dataDir;
    OwnedText logDir;
    uint32_t responseFileError = 0;

private:
    void ParseNested(const char* text, unsigned depth);
    void ReadResponseFile(const char* name, unsigned depth);

    ResponseFileReader* files;
    LeadByteTest isLeadByte;
    // The names of the response files being read, outermost first: the
    // current chain, one per nesting level.
    const char* openResponseFiles[kMaxResponseDepth] = {};
    unsigned responseFilesRead = 0;
};
