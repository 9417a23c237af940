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
        OwnedText out(new char[it->second.size() + 1]());  // the whole contents, a NUL inside included
        std::memcpy(out.get(), it->second.data(), it->second.size());
        return out;
    }
    std::map<std::string, std::string> files;
    std::vector<std::string> reads;
};
