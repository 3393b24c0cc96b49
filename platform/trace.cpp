#include "platform/trace.h"

#include <QLoggingCategory>

#include <cstdarg>
#include <cstdio>
#include <mutex>

Q_LOGGING_CATEGORY(lcVizor, "vizor", QtWarningMsg)

namespace {
// Traces come from the streaming thread too, so the hook is guarded.
std::mutex g_hookLock;
std::function<void(const std::string&)> g_hook;
} // namespace

void Trace(const char* format, ...) {
    char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);

    qCDebug(lcVizor, "%s", text);
    std::lock_guard lock(g_hookLock);
    if (g_hook)
        g_hook(text);
}

void SetTraceHook(std::function<void(const std::string&)> hook) {
    std::lock_guard lock(g_hookLock);
    g_hook = std::move(hook);
}
