#include "library/folder_walker.h"

#include "library/name_order.h"
#include "platform/posix_handles.h"
#include "platform/trace.h"

#include <algorithm>
#include <chrono>
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
    if (!WaitForEnd(END_WAIT_MS) && m_hThread.joinable()) {
        Trace("folder walk left running at exit: a directory read does not return");
        m_hThread.detach();
    }
}

void CFolderWalker::Stop() {
    if (m_pRun)
        m_pRun->m_bStop.store(1);
}

int CFolderWalker::Start(void* context, const std::string& root, FileCallback callback, int wait,
                         std::shared_ptr<void> owner) {
    if (!callback || m_hThread.joinable())
        return 0;
    auto run = std::make_shared<WalkRun>();
    run->m_pfnOnFile = callback;
    run->pOwner = std::move(owner);
    std::promise<void> ended;
    m_ended = ended.get_future();
    // Registered before the thread starts: the callback may call Stop.
    m_pRun = run;
    try {
        m_hThread = std::thread([run, context, root, ended = std::move(ended)]() mutable {
            Walk(*run, context, root, WALK_CALLBACK);
            ended.set_value();
        });
    } catch (const std::system_error& error) {
        Trace("folder walk thread not started: %s", error.what());
        m_pRun.reset();
        return 0;
    }
    if (wait)
        WaitForEnd(-1);
    return 1;
}

bool CFolderWalker::WaitForEnd(int timeoutMs) {
    if (!m_hThread.joinable())
        return true;
    if (timeoutMs >= 0 &&
        m_ended.wait_for(std::chrono::milliseconds(timeoutMs)) != std::future_status::ready)
        return false;
    m_hThread.join();
    m_pRun.reset();
    return true;
}

void CFolderWalker::Walk(const WalkRun& run, void* context, const std::string& folder, int mode) {
    if (run.m_bStop.load())
        return;
    for (const Entry& entry : ReadEntries(folder)) {
        if (run.m_bStop.load())
            return;
        // The root comes with a trailing separator; a second one would reach
        // the paths the user sees (the viewer's title, a file:// address).
        const std::string path =
            folder.ends_with('/') ? folder + entry.name : folder + "/" + entry.name;
        if (IsPlainFolder(path, entry))
            Walk(run, context, path, mode);
        else if (mode == WALK_CALLBACK)
            run.m_pfnOnFile(path.c_str(), context);
    }
}
