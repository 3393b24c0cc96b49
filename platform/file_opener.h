#pragma once
// Opens a file in the viewer the desktop associates with it. Failure (no
// viewer, file gone) is not reported; the result is only traced.

#include <QUrl>

#include <string>

void OpenWithDesktopViewer(const std::string& path);

// The file: URL of an absolute path, built from the path's bytes. A name that
// is not valid UTF-8 keeps its bytes percent-encoded as they are; a detour
// through text would turn them into replacement characters and name another
// file.
QUrl LocalFileUrl(const std::string& path);
