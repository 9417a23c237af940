// A fresh folder under the user's temporary folder, removed with everything
// in it (also paths longer than MAX_PATH) when the object goes.
#pragma once
#include <string>

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // Absolute, without a trailing separator.
    const std::string& Path() const { return path_; }
    // Writes `contents` as the file `name` (relative to Path(), whose folders
    // must exist) and returns its full path.
    std::string Write(const std::string& name, const std::string& contents) const;
    // Creates the folder `name` (relative to Path()) and returns its full path.
    std::string MakeDir(const std::string& name) const;

private:
    std::string path_;
};

// Whole files by absolute path, as bytes in a string. A failure to read or
// write is a test failure (and an empty result).
std::string ReadWholeFile(const std::string& path);
std::string WriteWholeFile(const std::string& path, const std::string& contents);  // returns `path`
bool FileExists(const std::string& path);
