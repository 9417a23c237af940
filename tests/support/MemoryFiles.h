// Response files served from memory, for the command-line tests and fuzzing
// (no OS headers). Records every name asked for.
#pragma once
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/CmdLine.h"

class MemoryFiles : public ResponseFileReader {
public:
    OwnedText Read(const char* name, size_t maxBytes) override {
        reads.push_back(name);
        auto it = files.find(name);
        if (it == files.end() || it->second.size() > maxBytes)
            return nullptr;
        // The whole contents, a NUL inside included.
        OwnedText out(new char[it->second.size() + 1]);
        std::memcpy(out.get(), it->second.data(), it->second.size());
        out[it->second.size()] = '\0';
        return out;
    }
    std::map<std::string, std::string> files;
    std::vector<std::string> reads;
};
