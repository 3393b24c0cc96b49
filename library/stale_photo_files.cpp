#include "library/stale_photo_files.h"

#include "platform/posix_handles.h"
#include "platform/trace.h"

#include <cerrno>
#include <cstring>
#include <ctime>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool IsAsciiAlnum(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

} // namespace

bool IsPendingPhotoTempName(const char* szName) {
    const size_t prefixLen = std::strlen(PENDING_PHOTO_PREFIX);
    const size_t suffixLen = std::strlen(PENDING_PHOTO_SUFFIX);
    if (std::strlen(szName) != prefixLen + PENDING_PHOTO_RANDOM_CHARS + suffixLen)
        return false;
    if (std::strncmp(szName, PENDING_PHOTO_PREFIX, prefixLen) != 0)
        return false;
    const char* random = szName + prefixLen;
    for (int i = 0; i < PENDING_PHOTO_RANDOM_CHARS; ++i)
        if (!IsAsciiAlnum(random[i]))
            return false;
    return std::strcmp(random + PENDING_PHOTO_RANDOM_CHARS, PENDING_PHOTO_SUFFIX) == 0;
}

int RemoveStalePhotoTemporaries(const std::string& folder) {
    DirPtr dir(opendir(folder.c_str()));
    if (!dir) {
        Trace("stale photo files: %s not read: %s", folder.c_str(), strerror(errno));
        return -1;
    }
    const int fd = dirfd(dir.get());
    const std::time_t staleBefore = std::time(nullptr) - STALE_PHOTO_AGE_SECONDS;
    int nRemoved = 0;
    while (const dirent* entry = readdir(dir.get())) {
        if (!IsPendingPhotoTempName(entry->d_name))
            continue;
        // lstat's view: a link of that name is a link, whatever it points at.
        struct stat st;
        if (fstatat(fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode) ||
            st.st_mtime >= staleBefore)
            continue;
        if (unlinkat(fd, entry->d_name, 0) == 0) {
            Trace("stale photo files: removed %s/%s", folder.c_str(), entry->d_name);
            ++nRemoved;
        } else {
            Trace("stale photo files: %s/%s not removed: %s", folder.c_str(), entry->d_name,
                  strerror(errno));
        }
    }
    return nRemoved;
}
