#ifndef SYNC_SIM_SIMEXIT_H
#define SYNC_SIM_SIMEXIT_H

#include "CodeTable.h"

namespace SyncSim {

// The exit statuses of sync-sim.
class SimExit {
  public:
    enum Status : int {
#define SYNC_CODE SYNC_CODE_ENUMERATOR
#include "SimExit.def"
#undef SYNC_CODE
    };
    static constexpr SyncSys::Options::Code CODES[] = {
#define SYNC_CODE SYNC_CODE_ROW
#include "SimExit.def"
#undef SYNC_CODE
    };
};
static_assert(int(SimExit::DONE) == SyncSys::Options::DONE && int(SimExit::USAGE) == SyncSys::Options::BAD,
              "the command line's outcomes are exit statuses");

}  // namespace SyncSim

#endif
