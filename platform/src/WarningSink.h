#ifndef SYNC_PLATFORM_WARNINGSINK_H
#define SYNC_PLATFORM_WARNINGSINK_H

#include "tavi.h"

namespace Sync::Platform {

// Where the library's own warnings go: the application's callback when one is installed (the
// daemon routes it to its trace), syslog otherwise. Process-wide, like the callback it holds.
class WarningSink {
  public:
    static void setCallback(tavi_warning_fn fn);
    static void emit(const char* format, ...) __attribute__((format(printf, 1, 2)));
};

}  // namespace Sync::Platform

#endif
