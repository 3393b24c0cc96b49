#pragma once
// The user's pictures folder (the XDG pictures directory), the root of the
// photo library.

#include <string>

// The folder's path without a trailing separator; empty when the desktop
// names none.
std::string GetPicturesFolder();
