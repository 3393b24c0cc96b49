#pragma once
// State changes of a pipeline that cannot hold the UI thread past a deadline.
// Some sources block inside the change itself (a PipeWire source waits up to
// 30 s for a node that is listed but never linked); such a change is left to
// finish on its own thread, and whatever its elements call into is handed to
// that thread to outlive it.

#include "capture/gst_ptr.h"

#include <chrono>
#include <functional>
#include <memory>

struct CPendingStateChange;

// Sets the state on a thread of its own and waits until deadline. True with
// the result when the change ended in time; otherwise false, and pending
// holds the change that is still running.
bool SetStateWithin(GstElement* element, GstState state,
                    std::chrono::steady_clock::time_point deadline, GstStateChangeReturn& result,
                    std::shared_ptr<CPendingStateChange>& pending);

// How many changes, in the whole process, have not yet ended past their
// deadline.
int PendingStateChanges();

// Waits until deadline for the change to end; true once it has. A deadline
// already past only asks.
bool WaitFinished(const std::shared_ptr<CPendingStateChange>& pending,
                  std::chrono::steady_clock::time_point deadline);

// Runs whenDone on the change's thread once it has ended, or at once on the
// caller's thread when it already has.
void WhenFinished(const std::shared_ptr<CPendingStateChange>& pending,
                  std::function<void()> whenDone);
