#pragma once
// Opens a file in the viewer the desktop associates with it. Failure (no
// viewer, file gone) is not reported; the result is only traced.

#include <string>

void OpenWithDesktopViewer(const std::string& path);
