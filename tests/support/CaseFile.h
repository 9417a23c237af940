// Tables of test cases kept as text files (no OS headers). A file holds
// cases, each starting with a line "== NAME", then lines "KEY = VALUE"
// ("KEY =" for an empty value); lines starting with '#' are comments. Values
// take the C escapes \\ \" \t \n \r \v \0 and \xHH (two digits), so any
// byte can be written. Runs() writes long values short: "c{N}" stands for
// the byte c written N times.
#pragma once
#include <fstream>
#include <map>
#include <string>
#include <vector>

struct TestCase {
    std::string name;
    std::map<std::string, std::string> values;
    bool Has(const std::string& key) const { return values.count(key) != 0; }
    const std::string& Get(const std::string& key) const {
        static const std::string none;
        return Has(key) ? values.at(key) : none;
    }
};

inline std::string Unescape(const std::string& s) {
    static const std::string from = "\\\"tnrv0", to("\\\"\t\n\r\v\0", 7);
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        size_t k = s[i] == '\\' && i + 1 < s.size() ? from.find(s[i + 1]) : std::string::npos;
        if (s[i] == '\\' && i + 3 < s.size() && s[i + 1] == 'x')
            out += static_cast<char>(std::stoi(s.substr(i + 2, 2), nullptr, 16)), i += 3;
        else if (k != std::string::npos)
            out += to[k], ++i;
        else
            out += s[i];
    }
    return out;
}

// The cases of `path`; none (and so a failing caller) when it cannot be read.
inline std::vector<TestCase> ReadCases(const std::string& path) {
    std::vector<TestCase> cases;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        size_t eq = line.find(" =");
        if (line.rfind("== ", 0) == 0)
            cases.push_back({line.substr(3), {}});
        else if (!cases.empty() && eq != std::string::npos && line[0] != '#')
            cases.back().values[line.substr(0, eq)] = Unescape(line.size() > eq + 3 ? line.substr(eq + 3) : "");
    }
    return cases;
}

inline std::string Runs(const std::string& s) {
    std::string out;
    for (size_t i = 0, close; i < s.size(); ++i) {
        if (s[i] == '{' && !out.empty() && (close = s.find('}', i)) != std::string::npos) {
            out.append(std::stoul(s.substr(i + 1, close - i - 1)) - 1, out.back());
            i = close;
        } else {
            out += s[i];
        }
    }
    return out;
}
