// Large bag files for the bench: how long BagFile takes to open (or refuse)
// files whose index is far larger than the product writes, as each
// SING_FillDMIInfo call opens the DMI bag file.
#pragma once
#include <string>
#include <vector>

class LargeBagFiles {
public:
    struct File {
        std::string label;
        std::string path;
    };

    LargeBagFiles() = default;
    ~LargeBagFiles();  // removes the files and their folder
    LargeBagFiles(const LargeBagFiles&) = delete;
    LargeBagFiles& operator=(const LargeBagFiles&) = delete;

    // Writes the files into a fresh folder under the temporary folder.
    bool Create(std::string& error);
    const std::vector<File>& Files() const { return files_; }
    // One open and close through a BagFile; true when the file was accepted.
    static bool Open(const std::string& path);

private:
    std::string dir_;
    std::vector<File> files_;
};
