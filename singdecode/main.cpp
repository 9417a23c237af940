// singdecode FILE...: decodes raw data buffers of SING32.DLL's gatherers
// (one buffer per file, "-" for standard input) and prints each as one line
// of JSON, the object `singdump --json` shows for the buffer. What is wrong
// with a buffer goes to standard error; the exit status is then 1.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "decode/singdecode.h"

namespace {

// No gatherer's buffer comes near this; anything larger is not a buffer.
constexpr size_t kMaxBytes = 1u << 20;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using ScopedFile = std::unique_ptr<std::FILE, FileCloser>;

// Reads at most kMaxBytes from `f`; false (with the reason) when reading
// fails or there is more.
bool ReadBounded(std::FILE* f, std::vector<uint8_t>& out, std::string& error) {
    out.assign(kMaxBytes + 1, 0);
    size_t total = 0;
    while (total < out.size()) {
        size_t got = std::fread(out.data() + total, 1, out.size() - total, f);
        if (got == 0)
            break;
        total += got;
    }
    if (std::ferror(f)) {
        error = std::string("cannot read: ") + std::strerror(errno);
        return false;
    }
    if (total > kMaxBytes) {
        error = "larger than " + std::to_string(kMaxBytes) + " bytes: not a data buffer";
        return false;
    }
    out.resize(total);
    return true;
}

bool ReadInput(const char* name, std::vector<uint8_t>& out, std::string& error) {
    if (std::strcmp(name, "-") == 0)
        return ReadBounded(stdin, out, error);
    ScopedFile f(std::fopen(name, "rb"));
    if (!f) {
        error = std::string("cannot open: ") + std::strerror(errno);
        return false;
    }
    return ReadBounded(f.get(), out, error);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::fputs(
            "usage: singdecode FILE...\n"
            "  Decodes raw data buffers of SING32.DLL's gatherers (one buffer per\n"
            "  file, - for standard input) and prints one JSON object per buffer,\n"
            "  one per line, in the order given. Exits 1 when a buffer cannot be\n"
            "  read or is malformed (the reason goes to standard error).\n",
            stderr);
        return 2;
    }
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        const char* name = std::strcmp(argv[i], "-") == 0 ? "standard input" : argv[i];
        std::vector<uint8_t> bytes;
        std::string error;
        if (!ReadInput(argv[i], bytes, error)) {
            std::fprintf(stderr, "singdecode: %s: %s\n", name, error.c_str());
            status = 1;
            continue;
        }
        singdecode::Decoded d = singdecode::ToJson(bytes.data(), bytes.size());
        std::printf("%s\n", d.json.c_str());
        if (!d.ok) {
            std::fprintf(stderr, "singdecode: %s: malformed buffer: %s\n", name, d.error.c_str());
            status = 1;
        }
    }
    return std::fflush(stdout) == 0 ? status : 1;
}
