#include "library/picture_number.h"

#include "platform/posix_handles.h"

#include <cerrno>
#include <cstdio>

#include <strings.h>
#include <sys/stat.h>

std::string PictureFileName(const std::string& folderPrefix, long number) {
    char name[32];
    std::snprintf(name, sizeof name, "Picture%5.4ld.jpg", number);
    return folderPrefix + name;
}

namespace {

// The photo folder's names are compared the way the Windows file system
// compares them, ignoring case: beside "Picture 0005.JPG", which the folder
// scan lists as photo 5, "Picture 0005.jpg" would be a second photo 5.
NameLookup LookUpInAnyCase(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const char* name = path.c_str() + (slash == std::string::npos ? 0 : slash + 1);
    const DirPtr dir(opendir(folder.c_str()));
    if (!dir)
        return errno == ENOENT || errno == ENOTDIR ? NameLookup::Free : NameLookup::Failed;
    for (;;) {
        errno = 0;
        const dirent* entry = readdir(dir.get());
        if (!entry)
            return errno == 0 ? NameLookup::Free : NameLookup::Failed;
        if (strcasecmp(entry->d_name, name) == 0)
            return NameLookup::Taken;
    }
}

} // namespace

NameLookup LookUpPictureName(const std::string& path) {
    struct stat st;
    if (lstat(path.c_str(), &st) == 0)
        return NameLookup::Taken;
    // ENOTDIR: a part of the folder is a file, so no entry can be there.
    if (errno == ENOTDIR)
        return NameLookup::Free;
    // Only a name missing as written is looked for in other cases: a folder
    // full of photos costs one listing per search, for the free number.
    return errno == ENOENT ? LookUpInAnyCase(path) : NameLookup::Failed;
}

int FindFreePictureNumber(const std::string& folderPrefix, std::string& nameBuffer, int first,
                          int last) {
    for (int n = first; n <= last; ++n) {
        nameBuffer = PictureFileName(folderPrefix, n);
        switch (LookUpPictureName(nameBuffer)) {
        case NameLookup::Free:
            return n;
        case NameLookup::Failed:
            return PICTURE_LOOKUP_FAILED;
        case NameLookup::Taken:
            break;
        }
    }
    return -1;
}
