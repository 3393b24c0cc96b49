#pragma once
// Developer traces. They are off unless the user turns the "vizor" logging
// category on (QT_LOGGING_RULES="vizor.debug=true"); nothing is ever written to
// a file. Tests can watch them through a hook.

#include <functional>
#include <string>

void Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Every trace text is handed to the hook as well, formatted. Pass an empty
// function to remove it.
void SetTraceHook(std::function<void(const std::string&)> hook);
