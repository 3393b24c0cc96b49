#pragma once
// Leftovers of photo writes that never finished. A writer killed between
// creating its temporary file and publishing it leaves the hidden temporary
// behind; nothing else ever removes it.

#include <string>

// The temporary names of photos being written: the prefix, six letters or
// digits, the suffix. Hidden, and not ending in "jpg", so a folder scan
// running while a photo is written never lists them.
inline constexpr char PENDING_PHOTO_PREFIX[] = ".vizor-";
inline constexpr char PENDING_PHOTO_SUFFIX[] = ".tmp";
inline constexpr int PENDING_PHOTO_RANDOM_CHARS = 6;

// A temporary younger than this may belong to a writer that is still at work
// (another instance, when the single-instance lock could not be made); one
// photo is written in well under a second.
inline constexpr int STALE_PHOTO_AGE_SECONDS = 60;

// True for a name of exactly the temporary form: ".vizor-", six ASCII letters
// or digits, ".tmp".
bool IsPendingPhotoTempName(const char* szName);

// Removes the regular files of the temporary form directly in folder that were
// last changed more than STALE_PHOTO_AGE_SECONDS ago. Links, folders and
// anything else of such a name are left alone, and so is every other name.
// Returns how many were removed, or -1 when the folder cannot be read.
int RemoveStalePhotoTemporaries(const std::string& folder);
