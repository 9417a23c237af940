#include "client/RegExport.h"

#include <string_view>

namespace regexport {
namespace {

constexpr uint32_t kRegSz = 1, kRegBinary = 3, kRegDword = 4, kLastHexType = 0xB;

using View = std::u16string_view;

bool IsSpace(char16_t c) { return c == u' ' || c == u'\t'; }

char16_t Fold(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

bool SameFold(View a, View b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Fold(a[i]) != Fold(b[i]))
            return false;
    return true;
}

bool StartsFold(View s, View prefix) { return s.size() >= prefix.size() && SameFold(s.substr(0, prefix.size()), prefix); }

int HexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    c = Fold(c);
    return c >= u'a' && c <= u'f' ? c - u'a' + 10 : -1;
}

View TrimLeft(View s) {
    size_t i = 0;
    while (i < s.size() && IsSpace(s[i]))
        ++i;
    return s.substr(i);
}

View TrimRight(View s) {
    size_t n = s.size();
    while (n > 0 && IsSpace(s[n - 1]))
        --n;
    return s.substr(0, n);
}

// At most 40 characters of a text for a message, other than ASCII as '?'.
std::string Printable(View s) {
    std::string out;
    for (size_t i = 0; i < s.size() && i < 40; ++i)
        out += s[i] >= 0x20 && s[i] < 0x7F ? static_cast<char>(s[i]) : '?';
    return s.size() > 40 ? out + "..." : out;
}

class Parser {
public:
    Parser(const std::string& fileName, Export& out, std::string& error)
        : fileName_(fileName), out_(out), error_(error) {}

    bool Run(View text) {
        std::u16string logical;  // a value line with its continuations
        bool continued = false;
        size_t number = 0, start = 0;
        for (size_t pos = 0; pos < text.size();) {
            size_t end = text.find(u'\n', pos);
            if (end == View::npos)
                end = text.size();
            View line = text.substr(pos, end - pos);
            pos = end + 1;
            if (!line.empty() && line.back() == u'\r')
                line.remove_suffix(1);
            line_ = ++number;
            if (line.size() > kMaxLineChars)
                return LineTooLong();
            if (number == 1) {
                if (!Header(TrimRight(line)))
                    return false;
                continue;
            }
            View trimmed = TrimLeft(line);
            if (continued) {
                logical.append(trimmed);
            } else {
                if (trimmed.empty() || trimmed[0] == u';')
                    continue;
                if (trimmed[0] == u'[') {
                    if (!KeyLine(TrimRight(trimmed)))
                        return false;
                    continue;
                }
                if (trimmed[0] != u'"' && trimmed[0] != u'@')
                    return Fail("expected a [key], a \"name\"= or @= value, or a ; comment");
                logical.assign(trimmed);
                start = number;
            }
            if (logical.size() > kMaxLineChars)
                return LineTooLong();
            View value = TrimRight(logical);
            continued = !value.empty() && value.back() == u'\\';
            if (continued) {
                logical.resize(value.size() - 1);
                continue;
            }
            line_ = start;
            if (!ValueLine(value))
                return false;
        }
        if (number == 0) {
            line_ = 1;
            return Header(View());
        }
        if (continued) {
            line_ = start;
            return Fail("the value is continued past the end of the file");
        }
        return true;
    }

private:
    bool Fail(const std::string& what) {
        error_ = fileName_ + ":" + std::to_string(line_) + ": " + what;
        return false;
    }

    bool LineTooLong() { return Fail("a line longer than " + std::to_string(kMaxLineChars) + " characters"); }

    bool Header(View line) {
        const bool version5 = line == u"Windows Registry Editor Version 5.00", regedit4 = line == u"REGEDIT4";
        if (!version5 && !regedit4)
            return Fail("not a registry export: the first line must be \"Windows Registry Editor Version 5.00\" "
                        "or \"REGEDIT4\"");
        if (version5 != (out_.format == Format::Version5))
            return Fail(version5 ? "a version 5.00 export must be UTF-16LE text with its byte-order mark, as "
                                   "regedit and reg export write it"
                                 : "a REGEDIT4 export must be ANSI text, not UTF-16");
        return true;
    }

    bool KeyLine(View s) {
        if (s.back() != u']')
            return Fail("a key line must end with ]");
        View path = s.substr(1, s.size() - 2);
        if (!path.empty() && path[0] == u'-')
            return Fail("deleting a key ([-...]) is not supported: export the keys as they are");
        size_t slash = path.find(u'\\');
        View root = path.substr(0, slash);
        if (!SameFold(root, u"HKEY_LOCAL_MACHINE") && !SameFold(root, u"HKLM"))
            return Fail("only keys under HKEY_LOCAL_MACHINE are read, not " + Printable(root));
        View below = slash == View::npos ? View() : path.substr(slash + 1);
        if (slash != View::npos && (below.empty() || below.front() == u'\\' || below.back() == u'\\' ||
                                    below.find(u"\\\\") != View::npos))
            return Fail("an empty key name in the path");
        if (out_.keys.size() >= kMaxKeys)
            return Fail("more than " + std::to_string(kMaxKeys) +
                        " keys: export only the keys the gatherers read (Services\\Tcpip, Windows "
                        "NT\\CurrentVersion, NetworkCards, Control)");
        out_.keys.push_back({std::u16string(below), {}});
        return true;
    }

    // A quoted text at s[pos] ('"'), with the escapes \\ and \"; pos ends
    // past the closing quote.
    bool Quoted(View s, size_t& pos, std::u16string& text) {
        for (++pos; pos < s.size(); ++pos) {
            char16_t c = s[pos];
            if (c == u'"') {
                ++pos;
                return true;
            }
            if (c == u'\\') {
                if (++pos >= s.size() || (s[pos] != u'\\' && s[pos] != u'"'))
                    return Fail("an escape other than \\\\ and \\\" in a quoted text");
                c = s[pos];
            }
            text.push_back(c);
        }
        return Fail("a quoted text without its closing quote");
    }

    bool Fits(const std::vector<uint8_t>& data) {
        return data.size() <= kMaxValueBytes ||
               Fail("value data larger than " + std::to_string(kMaxValueBytes) + " bytes");
    }

    bool ValueLine(View s) {
        if (out_.keys.empty())
            return Fail("a value before the first [key]");
        Value v;
        size_t pos = 0;
        if (s[0] == u'@')
            pos = 1;  // the default value, whose name is empty
        else if (!Quoted(s, pos, v.name))
            return false;
        View rest = TrimLeft(s.substr(pos));
        if (rest.empty() || rest[0] != u'=')
            return Fail("expected = after the value's name");
        rest = TrimLeft(rest.substr(1));
        if (!rest.empty() && rest[0] == u'-')
            return Fail("deleting a value (\"name\"=-) is not supported: export the values as they are");
        if (!rest.empty() && rest[0] == u'"') {
            std::u16string text;
            pos = 0;
            if (!Quoted(rest, pos, text))
                return false;
            if (pos != rest.size())
                return Fail("text after the closing quote");
            v.type = kRegSz;
            text.push_back(0);
            for (char16_t c : text) {
                v.data.push_back(static_cast<uint8_t>(c));
                if (out_.format == Format::Version5)
                    v.data.push_back(static_cast<uint8_t>(c >> 8));
            }
            if (!Fits(v.data))
                return false;
        } else if (StartsFold(rest, u"dword:")) {
            View digits = rest.substr(6);
            uint32_t n = 0;
            if (digits.empty() || digits.size() > 8)
                return Fail("dword: takes 1 to 8 hex digits");
            for (char16_t c : digits) {
                if (HexDigit(c) < 0)
                    return Fail("dword: takes 1 to 8 hex digits");
                n = n << 4 | static_cast<uint32_t>(HexDigit(c));
            }
            v.type = kRegDword;
            for (int i = 0; i < 4; ++i)
                v.data.push_back(static_cast<uint8_t>(n >> (8 * i)));
        } else if (StartsFold(rest, u"hex")) {
            if (!HexValue(rest.substr(3), v))
                return false;
        } else {
            return Fail("unknown value type: expected \"text\", dword:, hex: or hex(0): to hex(b):");
        }
        out_.keys.back().values.push_back(std::move(v));
        return true;
    }

    // After "hex": ":" (REG_BINARY) or "(N):" with N 0 to b, then bytes of
    // one or two hex digits separated by commas.
    bool HexValue(View s, Value& v) {
        size_t pos = 0;
        v.type = kRegBinary;
        if (!s.empty() && s[0] == u'(') {
            size_t close = s.find(u')');
            View type = close == View::npos ? View() : s.substr(1, close - 1);
            if (type.size() != 1 || HexDigit(type[0]) < 0 || static_cast<uint32_t>(HexDigit(type[0])) > kLastHexType)
                return Fail("hex(N): takes a type from 0 to b");
            v.type = static_cast<uint32_t>(HexDigit(type[0]));
            pos = close + 1;
        }
        if (pos >= s.size() || s[pos] != u':')
            return Fail("expected : after hex or hex(N)");
        View bytes = TrimLeft(s.substr(pos + 1));
        for (pos = 0; pos < bytes.size();) {
            int high = HexDigit(bytes[pos]);
            if (high < 0)
                return Fail("expected a hex byte (00 to ff)");
            int low = pos + 1 < bytes.size() ? HexDigit(bytes[pos + 1]) : -1;
            v.data.push_back(static_cast<uint8_t>(low < 0 ? high : high << 4 | low));
            pos += low < 0 ? 1 : 2;
            if (!Fits(v.data))
                return false;
            while (pos < bytes.size() && IsSpace(bytes[pos]))
                ++pos;
            if (pos == bytes.size())
                break;
            if (bytes[pos] != u',')
                return Fail("expected , between hex bytes");
            ++pos;
            while (pos < bytes.size() && IsSpace(bytes[pos]))
                ++pos;
            if (pos == bytes.size())
                return Fail("expected a hex byte (00 to ff)");
        }
        return true;
    }

    const std::string& fileName_;
    Export& out_;
    std::string& error_;
    size_t line_ = 0;
};

// The number of a path below SYSTEM\ControlSetNNN, or -1.
int ControlSetOf(View path) {
    constexpr View prefix = u"SYSTEM\\ControlSet";
    if (path.size() < prefix.size() + 3 || !StartsFold(path, prefix) ||
        (path.size() > prefix.size() + 3 && path[prefix.size() + 3] != u'\\'))
        return -1;
    int n = 0;
    for (size_t i = prefix.size(); i < prefix.size() + 3; ++i) {
        int d = HexDigit(path[i]);
        if (d < 0 || d > 9)
            return -1;
        n = n * 10 + d;
    }
    return n;
}

}  // namespace

bool Parse(const std::string& fileName, const uint8_t* bytes, size_t size, Export& out, std::string& error) {
    out = Export();
    if (size > kMaxFileBytes) {
        error = fileName + ": larger than " + std::to_string(kMaxFileBytes) + " bytes";
        return false;
    }
    std::u16string text;
    if (size >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        if (size % 2 != 0) {
            error = fileName + ": a UTF-16 file of an odd number of bytes";
            return false;
        }
        out.format = Format::Version5;
        text.reserve(size / 2 - 1);
        for (size_t i = 2; i < size; i += 2)
            text.push_back(static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8));
    } else {
        out.format = Format::Regedit4;
        text.assign(bytes, bytes + size);
    }
    return Parser(fileName, out, error).Run(text);
}

std::string MapCurrentControlSet(std::vector<Export>& exports) {
    std::vector<bool> present(1000, false);
    int count = 0, only = -1;
    int64_t current = -1;
    for (const Export& e : exports)
        for (const Key& k : e.keys) {
            int n = ControlSetOf(k.path);
            if (n >= 0 && !present[static_cast<size_t>(n)]) {
                present[static_cast<size_t>(n)] = true;
                ++count;
                only = n;
            }
            if (!SameFold(k.path, u"SYSTEM\\Select"))
                continue;
            for (const Value& v : k.values)
                if (SameFold(v.name, u"Current") && v.type == kRegDword && v.data.size() >= 4)
                    current = v.data[0] | v.data[1] << 8 | v.data[2] << 16 | int64_t{v.data[3]} << 24;
        }
    int chosen = current >= 0 && current < 1000 && present[static_cast<size_t>(current)] ? static_cast<int>(current)
                 : count == 1                                                          ? only
                                                                                       : -1;
    if (chosen < 0)
        return "";
    constexpr size_t kSetPrefix = sizeof "SYSTEM\\ControlSet001" - 1;
    for (Export& e : exports)
        for (Key& k : e.keys)
            if (ControlSetOf(k.path) == chosen)
                k.path = u"SYSTEM\\CurrentControlSet" + k.path.substr(kSetPrefix);
    std::string digits = std::to_string(chosen);
    return "ControlSet" + std::string(3 - digits.size(), '0') + digits;
}

}  // namespace regexport
