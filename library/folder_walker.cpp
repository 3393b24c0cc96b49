#include "library/folder_walker.h"

#include "library/name_order.h"
#include "platform/posix_handles.h"
#include "platform/trace.h"

#include <algorithm>
#include <system_error>
#include <vector>

#include <dirent.h>
#include <sys/stat.h>

namespace {

// Entries come back sorted the way the Windows file system sorts them: the
// strip's order and "select the newest photo" depend on it, and readdir()
// order on Linux is arbitrary.
struct Entry {
    std::string name;
    unsigned char type; // d_type: DT_DIR, DT_REG, DT_LNK, ... or DT_UNKNOWN
};

bool NameOrder(const Entry& a, const Entry& b) {
    return FileSystemNameLess(a.name, b.name);
}

std::vector<Entry> ReadEntries(const std::string& folder) {
    std::vector<Entry> names;
    const DirPtr dir(opendir(folder.c_str()));
    if (!dir)
        return names; // missing or no access: the folder contributes nothing
    // A read error ends this folder's enumeration with what was read so far.
    while (const dirent* entry = readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back({name, entry->d_type});
    }
    std::sort(names.begin(), names.end(), NameOrder);
    return names;
}

// Only a plain folder is walked into. A symbolic link is never followed (so a
// link cannot loop the walk), and hidden or owner-read-only folders stand for
// folders with extra attributes: they are offered to the callback as files.
bool IsPlainFolder(const std::string& path, const Entry& entry) {
    // The entry's type from the folder spares a status read for every file;
    // only folders (and file systems that do not say) need one for the mode.
    if (entry.type != DT_DIR && entry.type != DT_UNKNOWN)
        return false;
    struct stat st;
    if (lstat(path.c_str(), &st) != 0)
        return false;
    return S_ISDIR(st.st_mode) && entry.name[0] != '.' && (st.st_mode & S_IWUSR);
}

} // namespace

CFolderWalker::~CFolderWalker() {
    Stop();
    if (m_hThread.joinable())
        m_hThread.join();
}

int CFolderWalker::Start(void* context, const std::string& root, FileCallback callback, int wait) {
    m_pfnOnFile = callback;
    m_bStop.store(0);
    if (!callback || m_hThread.joinable())
        return 0;
    try {
        m_hThread = std::thread([this, context, root] { Walk(context, root, WALK_CALLBACK); });
    } catch (const std::system_error& error) {
        Trace("folder walk thread not started: %s", error.what());
        return 0;
    }
    if (wait)
        m_hThread.join();
    return 1;
}

void CFolderWalker::Walk(void* context, const std::string& folder, int mode) {
    if (m_bStop.load())
        return;
    for (const Entry& entry : ReadEntries(folder)) {
        if (m_bStop.load())
            return;
        // The root comes with a trailing separator; a second one would reach
        // the paths the user sees (the viewer's title, a file:// address).
        const std::string path =
            folder.ends_with('/') ? folder + entry.name : folder + "/" + entry.name;
        if (IsPlainFolder(path, entry))
            Walk(context, path, mode);
        else if (mode == WALK_CALLBACK)
            m_pfnOnFile(path.c_str(), context);
    }
}
