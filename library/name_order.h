#pragma once
// The order in which the folder walk meets a folder's entries: the one the
// Windows file system keeps, where each UTF-16 unit of a name is upper-cased
// and the units are then compared by value. It differs from a lower-case fold
// for the characters between 'Z' and 'a' ('[', '\', ']', '^', '_', '`'): a
// folder "_old" comes after "Picture 0001.jpg", not before. Bytes that are not
// UTF-8 count by their own value.

#include <string>

// True when a comes before b. Names equal in that order are ordered by their
// bytes, so the order is total and stable from one walk to the next.
bool FileSystemNameLess(const std::string& a, const std::string& b);
