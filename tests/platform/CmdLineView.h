// A CmdLine that shows what it kept, for the tests and their probe program.
#pragma once
#include <string>

#include "platform/CmdLine.h"

struct CmdLineView : CmdLine {
    using CmdLine::CmdLine;
    using CmdLine::responseFileError;
    // Records every option handed on after construction, "|"-separated.
    void HandleOption(const char* name, const char* value) override {
        calls += (calls.empty() ? "" : "|") + (value ? std::string(name) + "=" + value : std::string(name));
        CmdLine::HandleOption(name, value);
    }
    std::string calls;
    // "NAME=TEXT" for every text kept (texts never set left out), then
    // "flags=" nGiven, manager, init and the response-file error; each
    // followed by `end`.
    std::string Kept(const char* end = "|") const {
        std::string out;
        const std::pair<const char*, const OwnedText*> texts[] = {
            {"start", &startDir}, {"module", &moduleDir}, {"data", &dataDir}, {"log", &logDir}, {"N", &nValue},
            {"N2", &n2Value},     {"N3", &n3Value},       {"L", &lValue},     {"R", &rValue},   {"S", &sValue},
            {"UID", &uidValue},   {"MN", &mnValue},       {"GN", &gnValue},   {"argText", &argText}};
        for (const auto& [name, text] : texts)
            if (*text)
                out += std::string(name) + "=" + text->get() + end;
        return out + "flags=" + std::to_string(nGiven) + std::to_string(managerFlag) + std::to_string(initFlag) +
               std::to_string(responseFileError) + end;
    }
};
