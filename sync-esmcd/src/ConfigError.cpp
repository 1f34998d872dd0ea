#include "ConfigError.h"

namespace SyncEsmcd {

const char* describe(ConfigError error) {
    if (error == CONFIG_OK)
        return "ok";
    for (const SyncSys::Options::Code& code : CONFIG_ERRORS)
        if (code.value == error)
            return code.text;
    return "unknown error";
}

}  // namespace SyncEsmcd
