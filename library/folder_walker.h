#pragma once
// The recursive walk of the photo folder. It runs on a worker thread of its
// own; the program always waits for it, so to the caller a walk is one
// blocking call.

#include <atomic>
#include <string>
#include <thread>

class CFolderWalker {
public:
    using FileCallback = void (*)(const char* path, void* context);
    static constexpr int WALK_CALLBACK = 4;

    CFolderWalker() = default;
    CFolderWalker(const CFolderWalker&) = delete;
    CFolderWalker& operator=(const CFolderWalker&) = delete;
    // Stops a running walk and waits for its thread.
    virtual ~CFolderWalker();

    // 1 when a walk was started (and, with wait set, has finished); 0 for a
    // null callback, a walk still registered, or a thread that cannot start.
    int Start(void* context, const std::string& root, FileCallback callback, int wait);
    // Depth first; each folder's entries in case-insensitive name order.
    void Walk(void* context, const std::string& folder, int mode);
    void Stop() { m_bStop.store(1); }

private:
    std::atomic<int> m_bStop{0};
    FileCallback m_pfnOnFile = nullptr;
    std::thread m_hThread; // joinable from Start until the waiting caller saw the end
};
