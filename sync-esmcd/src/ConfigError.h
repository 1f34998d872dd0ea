#ifndef SYNC_ESMCD_CONFIGERROR_H
#define SYNC_ESMCD_CONFIGERROR_H

#include <cstdint>

#include "CodeTable.h"

namespace SyncEsmcd {

// The errorCode of a rejected output create or change request; 0 confirms.
enum ConfigError : uint32_t {
    CONFIG_OK = 0,
#define SYNC_CODE SYNC_CODE_ENUMERATOR
#include "ConfigError.def"
#undef SYNC_CODE
};

// The rejections as --help lists them.
constexpr SyncSys::Options::Code CONFIG_ERRORS[] = {
#define SYNC_CODE SYNC_CODE_ROW
#include "ConfigError.def"
#undef SYNC_CODE
};

// The cause of a rejection, for log lines.
const char* describe(ConfigError error);

}  // namespace SyncEsmcd

#endif
