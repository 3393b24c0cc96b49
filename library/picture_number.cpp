#include "library/picture_number.h"

#include <cerrno>
#include <cstdio>

#include <sys/stat.h>

std::string PictureFileName(const std::string& folderPrefix, long number) {
    char name[32];
    std::snprintf(name, sizeof name, "Picture%5.4ld.jpg", number);
    return folderPrefix + name;
}

bool PictureNameTaken(const std::string& path) {
    struct stat st;
    if (lstat(path.c_str(), &st) == 0)
        return true;
    return errno != ENOENT && errno != ENOTDIR;
}

int FindFreePictureNumber(const std::string& folderPrefix, std::string& nameBuffer, int first,
                          int last) {
    for (int n = first; n <= last; ++n) {
        nameBuffer = PictureFileName(folderPrefix, n);
        if (!PictureNameTaken(nameBuffer))
            return n;
    }
    return -1;
}
