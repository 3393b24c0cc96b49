#pragma once
// Names of the snapshot files and the search for a free picture number.

#include <string>

constexpr int PICTURE_NUMBER_LIMIT = 10000;

// "%sPicture%5.4ld.jpg": at least four digits, zero-padded, right-aligned in a
// field of five, so number 7 in "/p/" gives "/p/Picture 0007.jpg".
std::string PictureFileName(const std::string& folderPrefix, long number);

// True when an entry of that name exists, whatever it is: a file, a folder, or
// a link (even a dangling one). An error other than "no such entry" also
// counts as existing, so a number is never handed out unverified.
bool PictureNameTaken(const std::string& path);

// The smallest n with first <= n <= last whose name is free, or -1 (also when
// first > last). nameBuffer keeps the last name formed.
int FindFreePictureNumber(const std::string& folderPrefix, std::string& nameBuffer, int first,
                          int last);
