#include "BagBench.h"

#include <windows.h>

#include "dmi/BagFile.h"
#include "platform/Handles.h"
#include "tests/dmi/BagImage.h"

namespace {

bool WriteFileBytes(const std::string& path, const Bytes& bytes) {
    ScopedHandle h(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                               nullptr));
    DWORD put = 0;
    return h.Valid() && WriteFile(h.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr) &&
           put == bytes.size();
}

}  // namespace

bool LargeBagFiles::Create(std::string& error) {
    char temp[MAX_PATH];
    DWORD length = GetTempPathA(sizeof temp, temp);
    if (length == 0 || length >= sizeof temp) {
        error = "no temporary folder";
        return false;
    }
    dir_ = std::string(temp) + "sing_bench_bags_" + std::to_string(GetCurrentProcessId());
    if (!CreateDirectoryA(dir_.c_str(), nullptr)) {
        error = "cannot create " + dir_;
        dir_.clear();
        return false;
    }
    // N = 1 gives the most blocks per byte: 16 bytes each.
    Bytes chain = MakeBag(1, 400000);
    Bytes loop = chain;
    bag::SetNextBlockOffset(loop.data() + loop.size() - bag::BlockSize(1), bag::kHeaderSize);
    const struct {
        const char* label;
        const char* name;
        Bytes bytes;
    } files[] = {
        {"400,000 blocks, N = 1 (6.4 MB)", "chain.bag", std::move(chain)},
        {"chain looping through 400,000 blocks (6.4 MB)", "loop.bag", std::move(loop)},
        {"index one block past 16 MiB (1,048,577 blocks)", "huge.bag", MakeBag(1, bag::kMaxIndexBytes / 16 + 1)},
    };
    for (const auto& f : files) {
        std::string path = dir_ + "\\" + f.name;
        if (!WriteFileBytes(path, f.bytes)) {
            error = "cannot write " + path;
            return false;
        }
        files_.push_back({f.label, path});
    }
    return true;
}

LargeBagFiles::~LargeBagFiles() {
    for (const File& f : files_)
        DeleteFileA(f.path.c_str());
    if (!dir_.empty())
        RemoveDirectoryA(dir_.c_str());
}

bool LargeBagFiles::Open(const std::string& path) {
    BagFile f(path.c_str(), 0, kDmiSignature, kDmiEntriesPerBlock, 0, 1);
    return f.IsOpen() != 0;
}
