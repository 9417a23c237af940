#include "decode/Node.h"

#include <cstdio>

Node& Node::AddHex(std::string k, uint64_t v, int digits) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "0x%0*llX", digits, static_cast<unsigned long long>(v));
    children.push_back(Node{std::move(k), Kind::Hex, buf, v, {}});
    return children.back();
}

namespace {

std::string Quoted(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

// Length of the valid UTF-8 sequence at s[i], or 0.
size_t Utf8SequenceLength(const std::string& s, size_t i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    size_t need;
    uint32_t cp;
    if (c < 0x80) return 1;
    if (c >= 0xC2 && c <= 0xDF) { need = 2; cp = c & 0x1F; }
    else if (c >= 0xE0 && c <= 0xEF) { need = 3; cp = c & 0x0F; }
    else if (c >= 0xF0 && c <= 0xF4) { need = 4; cp = c & 0x07; }
    else return 0;
    if (i + need > s.size()) return 0;
    for (size_t k = 1; k < need; ++k) {
        unsigned char d = static_cast<unsigned char>(s[i + k]);
        if ((d & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (d & 0x3F);
    }
    if ((need == 3 && cp < 0x800) || (need == 4 && (cp < 0x10000 || cp > 0x10FFFF)))
        return 0;
    // Surrogate code points (as the library's per-unit encoding produces for
    // characters outside the BMP) are not valid UTF-8 in JSON.
    if (cp >= 0xD800 && cp <= 0xDFFF) return 0;
    return need;
}

void RenderTextInto(const Node& n, int indent, std::string& out) {
    std::string pad(static_cast<size_t>(indent) * 2, ' ');
    switch (n.kind) {
    case Node::Kind::Text: out += pad + n.key + ": " + Quoted(n.text) + "\n"; break;
    case Node::Kind::Missing: out += pad + n.key + ": (no text)\n"; break;
    case Node::Kind::Number: out += pad + n.key + ": " + std::to_string(n.number) + "\n"; break;
    case Node::Kind::Hex: out += pad + n.key + ": " + n.text + "\n"; break;
    case Node::Kind::Signed:
        out += pad + n.key + ": " + std::to_string(static_cast<int64_t>(n.number)) + "\n";
        break;
    case Node::Kind::Group:
        if (!n.key.empty()) out += pad + n.key + ":\n";
        for (const Node& c : n.children)
            RenderTextInto(c, n.key.empty() ? indent : indent + 1, out);
        break;
    case Node::Kind::List: {
        if (!n.key.empty()) out += pad + n.key + (n.children.empty() ? ": (none)\n" : ":\n");
        int inner = n.key.empty() ? indent : indent + 1;
        for (const Node& c : n.children) {
            // An unnamed group in a list is one item: "- " marks its start.
            if (c.kind == Node::Kind::Group && c.key.empty() && !c.children.empty()) {
                size_t at = out.size();
                RenderTextInto(c, inner + 1, out);
                out[at + static_cast<size_t>(inner) * 2] = '-';
            } else {
                RenderTextInto(c, inner, out);
            }
        }
        break;
    }
    }
}

}  // namespace

std::string JsonString(const std::string& s) {
    std::string out = "\"";
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        size_t len = Utf8SequenceLength(s, i);
        if (len == 0) {
            out += "\\uFFFD";
            ++i;
            continue;
        }
        if (len == 1) {
            if (c == '"') out += "\\\"";
            else if (c == '\\') out += "\\\\";
            else if (c < 0x20 || c == 0x7F) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04X", c);
                out += buf;
            } else out += static_cast<char>(c);
        } else {
            out.append(s, i, len);
        }
        i += len;
    }
    return out + "\"";
}

std::string RenderText(const Node& n, int indent) {
    std::string out;
    RenderTextInto(n, indent, out);
    return out;
}

std::string RenderJson(const Node& n) {
    switch (n.kind) {
    case Node::Kind::Text: return JsonString(n.text);
    case Node::Kind::Missing: return "null";
    case Node::Kind::Number: return std::to_string(n.number);
    case Node::Kind::Hex: return JsonString(n.text);
    case Node::Kind::Signed: return std::to_string(static_cast<int64_t>(n.number));
    case Node::Kind::Group: {
        std::string out = "{";
        for (size_t i = 0; i < n.children.size(); ++i) {
            if (i) out += ",";
            out += JsonString(n.children[i].key) + ":" + RenderJson(n.children[i]);
        }
        return out + "}";
    }
    case Node::Kind::List: {
        std::string out = "[";
        for (size_t i = 0; i < n.children.size(); ++i) {
            if (i) out += ",";
            out += RenderJson(n.children[i]);
        }
        return out + "]";
    }
    }
    return "null";
}

std::string HexDump(const uint8_t* data, size_t size) {
    std::string out;
    char buf[16];
    for (size_t line = 0; line < size; line += 16) {
        std::snprintf(buf, sizeof buf, "%06zX  ", line);
        out += buf;
        for (size_t i = 0; i < 16; ++i) {
            if (line + i < size) {
                std::snprintf(buf, sizeof buf, "%02X ", data[line + i]);
                out += buf;
            } else {
                out += "   ";
            }
        }
        out += " ";
        for (size_t i = 0; i < 16 && line + i < size; ++i) {
            uint8_t c = data[line + i];
            out += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '.';
        }
        out += "\n";
    }
    return out;
}
