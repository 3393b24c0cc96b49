#pragma once
// Names of the snapshot files and the search for a free picture number.

#include <string>

constexpr int PICTURE_NUMBER_LIMIT = 10000;

// "%sPicture%5.4ld.jpg": at least four digits, zero-padded, right-aligned in a
// field of five, so number 7 in "/p/" gives "/p/Picture 0007.jpg".
std::string PictureFileName(const std::string& folderPrefix, long number);

// The answer of one lookup. Taken is any entry at all whose name matches in
// any case: a file, a folder, or a link (even a dangling one). Failed is a
// lookup that could not tell (a folder that cannot be searched or listed, an
// I/O error, a stale mount): such a name is neither free nor taken, and a
// number is never handed out unverified.
enum class NameLookup { Free, Taken, Failed };
NameLookup LookUpPictureName(const std::string& path);

// FindFreePictureNumber's answer when a lookup failed.
constexpr int PICTURE_LOOKUP_FAILED = -2;

// The smallest n with first <= n <= last whose name is free, -1 when there is
// none (also when first > last), or PICTURE_LOOKUP_FAILED as soon as a lookup
// fails. nameBuffer keeps the last name formed.
int FindFreePictureNumber(const std::string& folderPrefix, std::string& nameBuffer, int first,
                          int last);
