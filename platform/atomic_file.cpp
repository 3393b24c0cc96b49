#include "platform/atomic_file.h"

#include "platform/posix_handles.h"
#include "platform/trace.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

int (*CAtomicFile::s_pfnSync)(int) = &::fsync;

namespace {

// Attempts at a free temporary name before giving up; a clash needs another
// writer drawing the same six characters in the same folder.
constexpr int TEMP_NAME_ATTEMPTS = 64;
constexpr int TEMP_RANDOM_CHARS = 6;

std::string RandomChars() {
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    unsigned char random[TEMP_RANDOM_CHARS] = {};
    if (getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) {
        // Only clashes depend on the letters; O_EXCL still keeps files apart.
        static unsigned s_nFallback = 0;
        const unsigned seed = static_cast<unsigned>(getpid()) * 2654435761u + ++s_nFallback;
        for (unsigned i = 0; i < sizeof random; ++i)
            random[i] = static_cast<unsigned char>(seed >> (i * 5));
    }
    std::string chars;
    for (unsigned char byte : random)
        chars += kLetters[byte % (sizeof kLetters - 1)];
    return chars;
}

// Gives temp the final name without replacing anything. renameat2 does it in
// one step; file systems that do not support its flag get link + unlink, which
// fails with EEXIST just the same. 0 or the errno.
int RenameNoReplace(const std::string& temp, const std::string& final) {
    if (renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, final.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return errno;
    if (link(temp.c_str(), final.c_str()) != 0)
        return errno;
    // The file is in place; a temporary name left over would only be litter.
    if (unlink(temp.c_str()) != 0)
        Trace("atomic file: temporary %s not removed: %s", temp.c_str(), strerror(errno));
    return 0;
}

// The rename is an entry of the folder: until the folder is on disk a power
// cut may lose the new name although the file's bytes were synced.
void SyncFolder(const std::string& folder) {
    const UniqueFd fd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.Get() < 0 || CAtomicFile::s_pfnSync(fd.Get()) != 0)
        Trace("atomic file: syncing folder %s failed: %s", folder.c_str(), strerror(errno));
}

} // namespace

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

CAtomicFile::CAtomicFile(std::string finalPath) : m_strFinalPath(std::move(finalPath)) {}

CAtomicFile::~CAtomicFile() {
    Discard();
}

bool CAtomicFile::Create(const std::string& prefix, const std::string& suffix, unsigned mode) {
    const std::string folder = FolderOf(m_strFinalPath);
    for (int attempt = 0; attempt < TEMP_NAME_ATTEMPTS; ++attempt) {
        std::string temp = folder + "/" + prefix + RandomChars() + suffix;
        const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return false;
        }
        m_pStream = fdopen(fd, "wb");
        if (!m_pStream) {
            const int error = errno;
            close(fd);
            unlink(temp.c_str());
            errno = error;
            return false;
        }
        m_strTempPath = std::move(temp);
        return true;
    }
    errno = EEXIST;
    return false;
}

CAtomicFile::PublishResult CAtomicFile::Publish(PublishMode mode) {
    // stdio may still hold bytes, and only fsync tells whether the disk took
    // them all.
    bool bWritten = fflush(m_pStream) == 0 && !ferror(m_pStream);
    bWritten = bWritten && s_pfnSync(fileno(m_pStream)) == 0;
    int error = bWritten ? 0 : errno;
    const bool bClosed = fclose(m_pStream) == 0;
    m_pStream = nullptr;
    if (!bWritten || !bClosed) {
        error = bWritten ? errno : error;
        Trace("atomic file: writing %s failed: %s", m_strFinalPath.c_str(), strerror(error));
        Discard();
        errno = error;
        return PublishResult::WriteFailed;
    }

    error = 0;
    if (mode == PublishMode::NoReplace)
        error = RenameNoReplace(m_strTempPath, m_strFinalPath);
    else if (rename(m_strTempPath.c_str(), m_strFinalPath.c_str()) != 0)
        error = errno;
    if (error != 0) {
        Trace("atomic file: publishing %s failed: %s", m_strFinalPath.c_str(), strerror(error));
        Discard();
        errno = error;
        return error == EEXIST ? PublishResult::NameTaken : PublishResult::WriteFailed;
    }
    m_strTempPath.clear();
    SyncFolder(FolderOf(m_strFinalPath));
    return PublishResult::Published;
}

void CAtomicFile::Discard() {
    const int error = errno;
    if (m_pStream) {
        fclose(m_pStream);
        m_pStream = nullptr;
    }
    if (!m_strTempPath.empty()) {
        unlink(m_strTempPath.c_str());
        m_strTempPath.clear();
    }
    errno = error;
}
