#include "library/picture_number.h"

#include <cerrno>
#include <cstdio>

#include <sys/stat.h>

std::string PictureFileName(const std::string& folderPrefix, long number) {
    char name[32];
    std::snprintf(name, sizeof name, "Picture%5.4ld.jpg", number);
    return folderPrefix + name;
}

NameLookup LookUpPictureName(const std::string& path) {
    struct stat st;
    if (lstat(path.c_str(), &st) == 0)
        return NameLookup::Taken;
    // ENOTDIR: a part of the folder is a file, so no entry can be there.
    return errno == ENOENT || errno == ENOTDIR ? NameLookup::Free : NameLookup::Failed;
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
