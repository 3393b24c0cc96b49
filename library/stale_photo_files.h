#pragma once
// Leftovers of photo writes that never finished. A writer killed between
// creating its temporary file and publishing it leaves the hidden temporary
// behind; nothing else ever removes it.

#include <string>

// True for a name of exactly the temporary form: ".vizor-", six ASCII letters
// or digits, ".tmp".
bool IsPendingPhotoTempName(const char* szName);

// Removes the regular files of the temporary form directly in folder. Links,
// folders and anything else of such a name are left alone, and so is every
// other name. Only the one instance that writes photos may call this: it takes
// any temporary it finds for a dead writer's. Returns how many were removed,
// or -1 when the folder cannot be read.
int RemoveStalePhotoTemporaries(const std::string& folder);
