#pragma once
// A file written whole or not at all. The bytes go to a temporary file in the
// folder of the final name; once they are complete and on disk the temporary
// file takes the final name in one rename, and the folder is synced so that
// the new name itself survives a power cut. Until then the temporary file is
// removed again when this object goes away, so a failed write leaves nothing
// behind.

#include <cstdio>
#include <string>

// The folder part of path: "." for a bare name, "/" for a name at the root.
std::string FolderOf(const std::string& path);

class CAtomicFile {
public:
    enum class PublishMode {
        Replace,   // an existing file of the final name is replaced
        NoReplace, // an existing file of the final name is left as it is
    };
    enum class PublishResult {
        Published,
        NameTaken,   // NoReplace found the final name taken; nothing changed
        WriteFailed, // flushing, syncing, closing or renaming failed
    };

    explicit CAtomicFile(std::string finalPath);
    ~CAtomicFile();
    CAtomicFile(const CAtomicFile&) = delete;
    CAtomicFile& operator=(const CAtomicFile&) = delete;

    // Creates the temporary file "<prefix>XXXXXX<suffix>" (six random letters
    // or digits) in the final name's folder, with mode less the umask. False
    // when the folder cannot take a new file; errno tells why.
    bool Create(const std::string& prefix, const std::string& suffix, unsigned mode);

    // The stream to write to, open between a successful Create and Publish.
    FILE* Stream() const { return m_pStream; }
    const std::string& TempPath() const { return m_strTempPath; }

    // Flushes, syncs and closes the file, gives it its final name and syncs
    // the folder. On anything but Published the temporary file is removed and
    // errno tells why.
    PublishResult Publish(PublishMode mode);

    // Test seam for every fsync this class makes; ::fsync in the program.
    static int (*s_pfnSync)(int fd);

private:
    void Discard();

    std::string m_strFinalPath;
    std::string m_strTempPath; // empty while no temporary file exists
    FILE* m_pStream = nullptr;
};
