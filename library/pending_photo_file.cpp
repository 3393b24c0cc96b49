#include "library/pending_photo_file.h"

#include "platform/trace.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

namespace {

// Attempts at a free temporary name before giving up; a clash needs another
// writer using the same random six characters in the same folder.
constexpr int TEMP_NAME_ATTEMPTS = 64;

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

// ".vizor-XXXXXX.tmp": hidden, and it does not end in "jpg", so a folder scan
// running while the photo is written never lists it.
std::string RandomTempName() {
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    unsigned char random[PENDING_PHOTO_RANDOM_CHARS] = {};
    if (getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) {
        // Only clashes depend on the letters; O_EXCL still keeps files apart.
        static unsigned s_nFallback = 0;
        const unsigned seed = static_cast<unsigned>(getpid()) * 2654435761u + ++s_nFallback;
        for (unsigned i = 0; i < sizeof random; ++i)
            random[i] = static_cast<unsigned char>(seed >> (i * 5));
    }
    std::string name = PENDING_PHOTO_PREFIX;
    for (unsigned char byte : random)
        name += kLetters[byte % (sizeof kLetters - 1)];
    return name + PENDING_PHOTO_SUFFIX;
}

// Links temp under final without replacing anything. renameat2 does it in one
// step; file systems that do not support its flag get link + unlink, which
// fails with EEXIST just the same.
int PublishNoReplace(const std::string& temp, const std::string& final) {
    if (renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, final.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return errno;
    if (link(temp.c_str(), final.c_str()) != 0)
        return errno;
    // The photo is in place; a temporary name left over would only be litter.
    if (unlink(temp.c_str()) != 0)
        Trace("JpegFile: temporary %s not removed: %s", temp.c_str(), strerror(errno));
    return 0;
}

} // namespace

CPendingPhotoFile::CPendingPhotoFile(std::string finalPath)
    : m_strFinalPath(std::move(finalPath)) {}

CPendingPhotoFile::~CPendingPhotoFile() {
    Discard();
}

bool CPendingPhotoFile::Create() {
    const std::string folder = FolderOf(m_strFinalPath);
    for (int attempt = 0; attempt < TEMP_NAME_ATTEMPTS; ++attempt) {
        std::string temp = folder + "/" + RandomTempName();
        // 0666 less the umask, as fopen would give the photo.
        const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
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

CPendingPhotoFile::PublishResult CPendingPhotoFile::Publish() {
    // The library has flushed its own buffer into the stream; stdio may still
    // hold bytes, and only fsync tells whether the disk took them all.
    bool bWritten = fflush(m_pStream) == 0 && !ferror(m_pStream);
    bWritten = bWritten && fsync(fileno(m_pStream)) == 0;
    const int error = bWritten ? 0 : errno;
    const bool bClosed = fclose(m_pStream) == 0;
    m_pStream = nullptr;
    if (!bWritten || !bClosed) {
        Trace("JpegFile: writing %s failed: %s", m_strFinalPath.c_str(),
              strerror(bWritten ? errno : error));
        Discard();
        return PublishResult::WriteFailed;
    }

    const int linkError = PublishNoReplace(m_strTempPath, m_strFinalPath);
    if (linkError != 0) {
        Trace("JpegFile: publishing %s failed: %s", m_strFinalPath.c_str(), strerror(linkError));
        Discard();
        return linkError == EEXIST ? PublishResult::NameTaken : PublishResult::WriteFailed;
    }
    m_strTempPath.clear();
    return PublishResult::Published;
}

void CPendingPhotoFile::Discard() {
    if (m_pStream) {
        fclose(m_pStream);
        m_pStream = nullptr;
    }
    if (!m_strTempPath.empty()) {
        unlink(m_strTempPath.c_str());
        m_strTempPath.clear();
    }
}
