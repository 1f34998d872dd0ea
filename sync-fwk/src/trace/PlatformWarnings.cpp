#include "trace/PlatformWarnings.h"

#include "Macros.h"
#include "tavi.h"

namespace Sync {
namespace {

void tracePlatformWarning(const char* text) {
    TRACE_WARNING("%s", text != nullptr ? text : "");
}

}  // namespace

void routePlatformWarnings() {
    tavi_set_warning_callback(&tracePlatformWarning);
}

}  // namespace Sync
