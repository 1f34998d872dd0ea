#ifndef SYNC_SYS_SERVICEEXIT_H
#define SYNC_SYS_SERVICEEXIT_H

#include "CodeTable.h"

namespace SyncSys {

// The exit statuses of the node's service programs.
class ServiceExit {
  public:
    enum Status : int {
#define SYNC_CODE SYNC_CODE_ENUMERATOR
#include "ServiceExit.def"
#undef SYNC_CODE
    };
    static constexpr Options::Code CODES[] = {
#define SYNC_CODE SYNC_CODE_ROW
#include "ServiceExit.def"
#undef SYNC_CODE
    };
};
static_assert(int(ServiceExit::STOPPED) == Options::DONE && int(ServiceExit::USAGE) == Options::BAD,
              "the command line's outcomes are exit statuses");

}  // namespace SyncSys

#endif
