#include "platform/CmdLine.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// Space, tab, line feed, vertical tab, form feed, carriage return. Bytes
// from 0x80 up never count, whatever the code page.
bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool StartsWithNoCase(const char* s, const char* prefix) {
    for (; *prefix != '\0'; ++s, ++prefix)
        if (UpperAscii(*s) != UpperAscii(*prefix))
            return false;
    return true;
}

bool EqualsNoCase(const char* a, const char* b) { return std::strlen(a) == std::strlen(b) && StartsWithNoCase(a, b); }

OwnedText CopyPrefix(const char* s, size_t length) {
    OwnedText copy(new (std::nothrow) char[length + 1]);
    if (!copy)
        return nullptr;
    std::memcpy(copy.get(), s, length);
    copy[length] = '\0';
    return copy;
}

const char* TextOrEmpty(const OwnedText& text) { return text ? text.get() : ""; }

// The program name ends at the first space; one written in double quotes
// runs at least to its closing quote, so a space inside it does not end it.
const char* SkipProgramName(const char* s) {
    if (*s == '"') {
        const char* close = std::strchr(s + 1, '"');
        s = close != nullptr ? close + 1 : s + std::strlen(s);
    }
    while (*s != '\0' && *s != ' ')
        ++s;
    return s;
}

// An IPX network address written "IPX:nnnnnnnn:nnnnnnnnnnnn" uses ':' in two
// roles; the second one becomes '.'.
void ApplyAddressRule(char* value) {
    if (std::strlen(value) >= 14 && StartsWithNoCase(value, "IPX") && value[13] == ':')
        value[13] = '.';
}

}  // namespace

OwnedText CopyText(const char* s) { return s == nullptr ? nullptr : CopyPrefix(s, std::strlen(s)); }

bool AddTrailingBackslash(char* buf, size_t room, LeadByteTest isLeadByte) {
    size_t length = std::strlen(buf);
    if (length == 0)
        return false;
    // Find where the last character starts; a lead byte right before the
    // end counts as a character of its own.
    size_t last = 0;
    size_t width = 1;
    for (size_t i = 0; i < length; i += width) {
        last = i;
        width = (isLeadByte != nullptr && isLeadByte(static_cast<unsigned char>(buf[i])) && i + 1 < length) ? 2 : 1;
    }
    if (width == 1 && buf[last] == '\\')
        return true;
    if (length + 2 > room)
        return false;
    buf[length] = '\\';
    buf[length + 1] = '\0';
    return true;
}

size_t DirectoryPartLength(const char* path, LeadByteTest isLeadByte) {
    size_t end = 0;
    size_t i = 0;
    while (path[i] != '\0') {
        unsigned char c = static_cast<unsigned char>(path[i]);
        if (isLeadByte != nullptr && isLeadByte(c)) {
            if (path[i + 1] == '\0')
                break;
            i += 2;
            continue;
        }
        if (c == '\\' || c == '/' || c == ':')
            end = i + 1;
        ++i;
    }
    return end;
}

bool FindHandOverAtom(const char* commandLine, uint16_t* atom) {
    const char* at = std::strstr(commandLine, "/XCL:");
    if (at == nullptr)
        return false;
    // strtol reads as atol does, but saturates instead of overflowing.
    long number = std::strtol(at + 5, nullptr, 10);
    *atom = static_cast<uint16_t>(static_cast<unsigned long>(number));
    return true;
}

CmdLine::CmdLine(ResponseFileReader& reader, LeadByteTest leadByteTest) : files(&reader), isLeadByte(leadByteTest) {}

CmdLine::~CmdLine() = default;

void CmdLine::Apply(HostFacts& facts) {
    // The working directory with a separator at its end (a drive root such
    // as C:\ already has one). Each directory is null when there is no
    // memory for it, and so are the ones that fall back to it.
    const char* cwd = TextOrEmpty(facts.workingDir);
    size_t cwdLength = std::strlen(cwd);
    startDir.reset(new (std::nothrow) char[cwdLength + 2]);
    if (startDir) {
        std::memcpy(startDir.get(), cwd, cwdLength + 1);
        AddTrailingBackslash(startDir.get(), cwdLength + 2, isLeadByte);
    }

    const char* exePath = TextOrEmpty(facts.exePath);
    size_t dirLength = DirectoryPartLength(exePath, isLeadByte);
    moduleDir = dirLength > 0 ? CopyPrefix(exePath, dirLength) : CopyText(startDir.get());

    // The log directory is settled before the options are parsed, so the
    // data directory given on the command line does not move it.
    dataDir = facts.registryDataDir ? std::move(facts.registryDataDir) : CopyText(moduleDir.get());
    logDir = facts.registryLogDir ? std::move(facts.registryLogDir) : CopyText(dataDir.get());

    const char* rest = SkipProgramName(TextOrEmpty(facts.commandText));
    argText = CopyText(rest);
    Parse(rest);
}

void CmdLine::Parse(const char* text) { ParseNested(text, 0); }

void CmdLine::ParseNested(const char* text, unsigned depth) {
    if (text == nullptr)
        return;
    // A token is never longer than the text it comes from. Without memory
    // for it the text is not parsed.
    OwnedText token(new (std::nothrow) char[std::strlen(text) + 1]);
    if (!token)
        return;
    const char* p = text;
    while (*p != '\0') {
        if (IsSpace(*p)) {
            ++p;
            continue;
        }
        enum class Kind { Option, ResponseFile, Argument } kind = Kind::Argument;
        if (*p == '/' || *p == '-') {
            kind = Kind::Option;
            ++p;
        } else if (*p == '@') {
            kind = Kind::ResponseFile;
            ++p;
        }
        // Up to whitespace outside quotes, or for an option up to the next
        // '/' or '-'; the stopping character starts the next token.
        size_t n = 0;
        bool quoted = false;
        while (*p != '\0') {
            char c = *p;
            if (c == '"') {
                if (quoted && p[1] == '"') {
                    token[n++] = '"';
                    p += 2;
                } else {
                    quoted = !quoted;
                    ++p;
                }
                continue;
            }
            if (!quoted && (IsSpace(c) || (kind == Kind::Option && (c == '/' || c == '-'))))
                break;
            token[n++] = c;
            ++p;
        }
        token[n] = '\0';

        switch (kind) {
        case Kind::Option:
            if (char* colon = std::strchr(token.get(), ':')) {
                *colon = '\0';
                HandleOption(token.get(), colon + 1);
            } else {
                HandleOption(token.get(), nullptr);
            }
            break;
        case Kind::ResponseFile:
            ReadResponseFile(token.get(), depth);
            break;
        case Kind::Argument:
            HandleOption("", token.get());
            break;
        }
    }
}

void CmdLine::ReadResponseFile(const char* name, unsigned depth) {
    // `depth` files are open further up the chain.
    bool loops = false;
    for (unsigned i = 0; i < depth && i < kMaxResponseDepth; ++i)
        loops = loops || EqualsNoCase(openResponseFiles[i], name);
    OwnedText contents;
    if (*name == '\0' || loops || depth >= kMaxResponseDepth || responseFilesRead >= kMaxResponseFiles ||
        !(contents = files->Read(name, kMaxResponseFileBytes))) {
        responseFileError = 1;
        return;
    }
    ++responseFilesRead;
    // Line breaks and tabs separate tokens like spaces; a NUL ends the text.
    for (char* c = contents.get(); *c != '\0'; ++c)
        if (*c == '\n' || *c == '\r' || *c == '\t')
            *c = ' ';
    // The name lives in the caller's token until the nested parse is done.
    openResponseFiles[depth] = name;
    ParseNested(contents.get(), depth + 1);
}

void CmdLine::HandleOption(const char* name, const char* value) {
    if (name == nullptr)
        return;
    if (EqualsNoCase(name, "INIT")) {
        initFlag = 1;
        return;
    }
    if (EqualsNoCase(name, "MANAGER")) {
        managerFlag = 1;
        return;
    }
    struct ValueOption {
        const char* name;
        OwnedText CmdLine::*field;
        bool address;  // N, N2, N3: sets nGiven and follows the address rule
    };
    static const ValueOption kValueOptions[] = {
        {"N", &CmdLine::nValue, true},     {"N2", &CmdLine::n2Value, true},   {"N3", &CmdLine::n3Value, true},
        {"L", &CmdLine::lValue, false},    {"R", &CmdLine::rValue, false},    {"S", &CmdLine::sValue, false},
        {"UID", &CmdLine::uidValue, false}, {"MN", &CmdLine::mnValue, false}, {"GN", &CmdLine::gnValue, false},
        // Stored as given: the user profile joins it with its own separator.
        {"NDP", &CmdLine::dataDir, false},
    };
    for (const ValueOption& o : kValueOptions) {
        if (!EqualsNoCase(name, o.name))
            continue;
        if (value == nullptr)
            return;  // needs a value
        // Without memory for the copy an earlier value stays.
        OwnedText copy = CopyText(value);
        if (!copy)
            return;
        if (o.address) {
            ApplyAddressRule(copy.get());
            nGiven = 1;
        }
        this->*o.field = std::move(copy);
        return;
    }
}
