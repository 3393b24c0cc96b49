#pragma once
// The recursive walk of the photo folder, on a worker thread of its own. The
// caller waits for it, but only as long as it chooses: a folder on a network
// share whose server stopped answering blocks a directory read for as long
// as it stays dead, and the window must not wait with it. A walk that outlives
// the wait goes on in the background; the caller asks later whether it ended.

#include <atomic>
#include <future>
#include <memory>
#include <string>
#include <thread>

class CFolderWalker {
public:
    using FileCallback = void (*)(const char* path, void* context);
    static constexpr int WALK_CALLBACK = 4;
    // How long the destructor waits for a walk before leaving it behind.
    static constexpr int END_WAIT_MS = 1000;

    CFolderWalker() = default;
    CFolderWalker(const CFolderWalker&) = delete;
    CFolderWalker& operator=(const CFolderWalker&) = delete;
    // Stops a running walk and waits for it up to END_WAIT_MS; a walk stuck
    // in a directory read longer than that is left to end on its own, with
    // what it holds (see Start's owner).
    virtual ~CFolderWalker();

    // 1 when a walk was started (and, with wait set, has finished); 0 for a
    // null callback, a walk still registered, or a thread that cannot start.
    // owner, when given, keeps the context alive for as long as the walk
    // runs, even past the walker's own end.
    int Start(void* context, const std::string& root, FileCallback callback, int wait,
              std::shared_ptr<void> owner = nullptr);
    // Waits up to timeoutMs for the registered walk to end; true once it has
    // (the walk is then no longer registered), false while it still runs.
    // Every write of the walk is visible to the caller after true.
    bool WaitForEnd(int timeoutMs);
    void Stop();

private:
    // What the walk thread uses: shared with it, so a walk left behind never
    // reaches into a walker that is gone.
    struct WalkRun {
        std::atomic<int> m_bStop{0};
        FileCallback m_pfnOnFile = nullptr;
        std::shared_ptr<void> pOwner;
    };
    // Depth first; each folder's entries in case-insensitive name order.
    static void Walk(const WalkRun& run, void* context, const std::string& folder, int mode);

    std::shared_ptr<WalkRun> m_pRun;
    std::thread m_hThread; // joinable from Start until a wait saw the walk end
    std::future<void> m_ended;
};
