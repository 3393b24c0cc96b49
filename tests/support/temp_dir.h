#pragma once
// A private folder for one test, removed with everything in it at the end.

#include <string>
#include <vector>

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return m_path; }
    // Path of a name inside the folder.
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

// Small file helpers for tests.
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
// A one-byte file: for tests where only the name matters.
void Touch(const std::string& path);
// The names in a folder other than . and .., dot files included, sorted.
std::vector<std::string> FolderEntries(const std::string& folder);

// The name the program gives photo number n.
std::string PictureName(int n);
// File systems keep folder times only to the second or coarser; moving the
// time on explicitly makes every change to the folder visible to a check.
void BumpFolderTime(const std::string& folder);
