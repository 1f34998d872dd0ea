#ifndef SYNC_PLATFORM_WARNINGSINK_H
#define SYNC_PLATFORM_WARNINGSINK_H

#include <string>
#include <vector>

#include "tavi.h"

namespace Sync::Platform {

// Where the library's own warnings go: the application's callback when one is installed (the
// daemon routes it to its trace), syslog otherwise. Process-wide, like the callback it holds.
// A thread of the library's own holds its warnings instead, so that the application is only ever
// called on its own thread: whoever drains the held list passes them on.
class WarningSink {
  public:
    static void setCallback(tavi_warning_fn fn);
    // Warnings emitted on the calling thread go to held (null: to the callback again). The list
    // belongs to the caller, who guards it as it guards the calls that may warn.
    static void holdOnThisThread(std::vector<std::string>* held);
    static void emit(const char* format, ...) __attribute__((format(printf, 1, 2)));
};

}  // namespace Sync::Platform

#endif
