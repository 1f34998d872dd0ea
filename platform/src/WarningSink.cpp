#include "WarningSink.h"

#include <syslog.h>

#include <cstdarg>
#include <cstdio>

namespace Sync::Platform {

namespace {

tavi_warning_fn callback = nullptr;
thread_local std::vector<std::string>* heldHere = nullptr;

}  // namespace

void WarningSink::setCallback(tavi_warning_fn fn) {
    callback = fn;
}

void WarningSink::holdOnThisThread(std::vector<std::string>* held) {
    heldHere = held;
}

void WarningSink::emit(const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (heldHere != nullptr) {
        heldHere->emplace_back(text);
    } else if (callback != nullptr) {
        callback(text);
    } else {
        syslog(LOG_WARNING, "tavi: %s", text);
    }
}

}  // namespace Sync::Platform
