#include "control/ProcessName.h"

namespace Sync {
namespace LumovControl {

std::string processName(const std::string& argv0) {
    const std::string::size_type separator = argv0.find_last_of("/\\");
    return separator == std::string::npos ? argv0 : argv0.substr(separator + 1);
}

}  // namespace LumovControl
}  // namespace Sync
