#include "capture/bounded_state_change.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {
std::atomic<int> g_nPending{0};
} // namespace

int PendingStateChanges() {
    return g_nPending.load();
}

// Shared by the waiting caller and the thread that makes the change; m_lock
// guards every member.
struct CPendingStateChange {
    std::mutex m_lock;
    std::condition_variable m_done;
    bool m_bDone = false;
    bool m_bLate = false; // counted in g_nPending
    GstStateChangeReturn m_result = GST_STATE_CHANGE_FAILURE;
    std::function<void()> m_whenDone;
};

bool SetStateWithin(GstElement* element, GstState state,
                    std::chrono::steady_clock::time_point deadline, GstStateChangeReturn& result,
                    std::shared_ptr<CPendingStateChange>& pending) {
    auto change = std::make_shared<CPendingStateChange>();
    GstElementPtr held(GST_ELEMENT(gst_object_ref(element)));
    std::thread([change, held = std::move(held), state]() mutable {
        const GstStateChangeReturn changed = gst_element_set_state(held.get(), state);
        std::function<void()> whenDone;
        bool late = false;
        {
            std::lock_guard lock(change->m_lock);
            late = change->m_bLate;
            change->m_result = changed;
            change->m_bDone = true;
            whenDone = std::move(change->m_whenDone);
            change->m_done.notify_all();
        }
        if (whenDone)
            whenDone();
        // Let go of the element before the change stops counting as pending.
        held.reset();
        if (late)
            g_nPending.fetch_sub(1);
    }).detach();

    std::unique_lock lock(change->m_lock);
    if (change->m_done.wait_until(lock, deadline, [&] { return change->m_bDone; })) {
        result = change->m_result;
        return true;
    }
    change->m_bLate = true;
    g_nPending.fetch_add(1);
    pending = change;
    return false;
}

bool WaitFinished(const std::shared_ptr<CPendingStateChange>& pending,
                  std::chrono::steady_clock::time_point deadline) {
    std::unique_lock lock(pending->m_lock);
    return pending->m_done.wait_until(lock, deadline, [&] { return pending->m_bDone; });
}

void WhenFinished(const std::shared_ptr<CPendingStateChange>& pending,
                  std::function<void()> whenDone) {
    {
        std::lock_guard lock(pending->m_lock);
        if (!pending->m_bDone) {
            pending->m_whenDone = std::move(whenDone);
            return;
        }
    }
    whenDone();
}
