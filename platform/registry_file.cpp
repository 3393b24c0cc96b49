#include "platform/registry_file.h"

#include "platform/atomic_file.h"
#include "platform/posix_handles.h"
#include "platform/trace.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

LONG ErrorFromErrno(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
        return ERROR_ACCESS_DENIED;
    case ENOSPC:
    case EDQUOT:
        return ERROR_DISK_FULL;
    case ENOENT:
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    default:
        return ERROR_REGISTRY_IO_FAILED;
    }
}

// Traces the system's detail of a failed step and gives the registry error.
LONG Failed(const std::string& what, const std::string& path) {
    int error = errno;
    Trace("registry file: %s %s failed: %s", what.c_str(), path.c_str(), std::strerror(error));
    return ErrorFromErrno(error);
}

// Creates the folder and any missing folder above it, private to the user as
// the XDG rules ask for the configuration folders.
bool MakeFolders(const std::string& folder) {
    for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        std::string part = folder.substr(0, slash);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            return true;
    }
}

enum class ReadResult { Read, Missing, Damaged, Failed };

// Reads the whole file. Only a regular file of at most REGISTRY_FILE_LIMIT
// bytes is read: a FIFO of that name would block the open until a writer
// comes (O_NONBLOCK keeps it from waiting, fstat then tells what it is), and
// a link to a device such as /dev/zero would never end. Anything else is
// Damaged, and set aside like a file that does not parse.
ReadResult ReadAll(const std::string& path, std::string& text) {
    text.clear();
    UniqueFd fd(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.Get() < 0) {
        if (errno == ENOENT)
            return ReadResult::Missing;
        // A device that refuses to open, or a FIFO without a writer: not a
        // settings file either.
        return errno == ENXIO || errno == ENODEV ? ReadResult::Damaged : ReadResult::Failed;
    }
    struct stat st;
    if (fstat(fd.Get(), &st) != 0)
        return ReadResult::Failed;
    if (!S_ISREG(st.st_mode) || st.st_size > REGISTRY_FILE_LIMIT)
        return ReadResult::Damaged;
    char buffer[65536];
    while (true) {
        ssize_t n = read(fd.Get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return ReadResult::Failed;
        if (n == 0)
            return ReadResult::Read;
        // The file may grow while it is read.
        if (text.size() + static_cast<size_t>(n) > REGISTRY_FILE_LIMIT)
            return ReadResult::Damaged;
        text.append(buffer, static_cast<size_t>(n));
    }
}

// A temporary file can only be left behind by a writer that died holding the
// lock; whoever holds the lock now removes it.
void RemoveStaleTemporaries(const std::string& folder, const std::string& prefix) {
    const DirPtr dir(opendir(folder.c_str()));
    if (!dir)
        return;
    while (dirent* entry = readdir(dir.get())) {
        if (std::strncmp(entry->d_name, prefix.c_str(), prefix.size()) == 0) {
            Trace("registry file: removing %s/%s left by an interrupted write", folder.c_str(),
                  entry->d_name);
            unlinkat(dirfd(dir.get()), entry->d_name, 0);
        }
    }
}

// Keeps a damaged file under the first free name <path>.bad, <path>.bad.1, ...
// An older damaged file is never overwritten.
LONG SetAside(const std::string& path) {
    for (int n = 0; n < 1000; ++n) {
        std::string bad = path + ".bad" + (n ? "." + std::to_string(n) : std::string());
        if (link(path.c_str(), bad.c_str()) == 0 ||
            (errno != EEXIST &&
             renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, bad.c_str(), RENAME_NOREPLACE) == 0)) {
            Trace("registry file: %s is damaged; kept as %s, starting anew", path.c_str(),
                  bad.c_str());
            return ERROR_SUCCESS;
        }
        if (errno != EEXIST)
            return Failed("setting aside", path);
    }
    Trace("registry file: no free name to set the damaged %s aside", path.c_str());
    return ERROR_REGISTRY_CORRUPT;
}

// The new text replaces the store in one rename; a regular file keeps the
// old file's permissions, anything else gets the private default.
LONG ReplaceAtomically(const std::string& path, const std::string& text) {
    CAtomicFile file(path);
    const std::string name = path.substr(FolderOf(path).size() + 1);
    if (!file.Create(name + ".tmp-", "", 0600))
        return Failed("creating a temporary for", path);
    struct stat st;
    const bool bKeepMode = stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
    if ((bKeepMode && fchmod(fileno(file.Stream()), st.st_mode & 07777) != 0) ||
        std::fwrite(text.data(), 1, text.size(), file.Stream()) != text.size())
        return Failed("writing", file.TempPath());
    if (file.Publish(CAtomicFile::PublishMode::Replace) != CAtomicFile::PublishResult::Published)
        return Failed("replacing", path);
    return ERROR_SUCCESS;
}

} // namespace

LONG CRegistryFile::Load(CRegistryDocument& doc) const {
    // No lock is needed: a write replaces the file by renaming a complete one
    // over it, so an open here always gets one whole version.
    std::string text;
    std::string why;
    doc.Parse("", why);
    if (m_strPath.empty())
        return ERROR_PATH_NOT_FOUND;
    switch (ReadAll(m_strPath, text)) {
    case ReadResult::Read:
    case ReadResult::Missing:
        break;
    case ReadResult::Damaged:
        Trace("registry file: %s is not a settings file; not read", m_strPath.c_str());
        return ERROR_REGISTRY_CORRUPT;
    case ReadResult::Failed:
        return Failed("reading", m_strPath);
    }
    if (!doc.Parse(text, why)) {
        Trace("registry file: %s is damaged (%s); not read", m_strPath.c_str(), why.c_str());
        return ERROR_REGISTRY_CORRUPT;
    }
    return ERROR_SUCCESS;
}

LONG CRegistryFile::Update(const std::function<LONG(CRegistryDocument&)>& edit) const {
    if (m_strPath.empty() || m_strPath.front() != '/')
        return ERROR_PATH_NOT_FOUND;
    std::string folder = FolderOf(m_strPath);
    if (!MakeFolders(folder))
        return Failed("creating folder", folder);

    std::string lockPath = m_strPath + ".lock";
    UniqueFd lock(open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (lock.Get() < 0)
        return Failed("opening", lockPath);
    while (flock(lock.Get(), LOCK_EX) != 0) {
        if (errno != EINTR)
            return Failed("locking", lockPath);
    }
    std::string name = m_strPath.substr(folder.size() + 1);
    RemoveStaleTemporaries(folder, name + ".tmp-");

    std::string text;
    const ReadResult read = ReadAll(m_strPath, text);
    if (read == ReadResult::Failed)
        return Failed("reading", m_strPath);
    CRegistryDocument doc;
    std::string why = "not a settings file";
    if (read == ReadResult::Damaged || !doc.Parse(text, why)) {
        Trace("registry file: %s is damaged (%s)", m_strPath.c_str(), why.c_str());
        if (LONG result = SetAside(m_strPath); result != ERROR_SUCCESS)
            return result;
    }
    if (LONG result = edit(doc); result != ERROR_SUCCESS)
        return result;
    return ReplaceAtomically(m_strPath, doc.Serialize());
}
