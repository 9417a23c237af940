// A decoded data buffer as a small tree of named values, printed as text or
// JSON by the host tool. Free of OS headers.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct Node {
    enum class Kind { Text, Number, Hex, Missing, Group, List, Signed };
    std::string key;
    Kind kind = Kind::Group;
    std::string text;      // Text: the bytes as stored; Hex: hex digits
    uint64_t number = 0;   // Number and Hex
    std::vector<Node> children;

    static Node Group(std::string key) { return Node{std::move(key), Kind::Group, {}, 0, {}}; }
    static Node List(std::string key) { return Node{std::move(key), Kind::List, {}, 0, {}}; }

    Node& AddText(std::string k, std::string v) {
        children.push_back(Node{std::move(k), Kind::Text, std::move(v), 0, {}});
        return children.back();
    }
    // A fact whose offset slot is 0: no text at all (not the empty text).
    Node& AddMissing(std::string k) {
        children.push_back(Node{std::move(k), Kind::Missing, {}, 0, {}});
        return children.back();
    }
    Node& AddNumber(std::string k, uint64_t v) {
        children.push_back(Node{std::move(k), Kind::Number, {}, v, {}});
        return children.back();
    }
    // A number that may be negative; kept in `number` as its bits.
    Node& AddSigned(std::string k, int64_t v) {
        children.push_back(Node{std::move(k), Kind::Signed, {}, static_cast<uint64_t>(v), {}});
        return children.back();
    }
    // A number best read in hexadecimal (packet ids, bit sets), `digits` wide.
    Node& AddHex(std::string k, uint64_t v, int digits = 8);
    Node& Add(Node n) {
        children.push_back(std::move(n));
        return children.back();
    }
};

// Indented "key: value" lines; texts quoted with control bytes escaped.
std::string RenderText(const Node& n, int indent);
// One JSON value. Text is emitted as a JSON string; bytes that are not valid
// UTF-8 are replaced by U+FFFD so the document is always valid.
std::string RenderJson(const Node& n);
std::string JsonString(const std::string& s);
// Hex dump, 16 bytes a line, with offsets and printable characters.
std::string HexDump(const uint8_t* data, size_t size);
