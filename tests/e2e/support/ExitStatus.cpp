#include "ExitStatus.h"

#include <cstring>

namespace E2e {

std::string ExitStatus::describe() const {
    return exited_ ? "exit " + std::to_string(value_)
                   : "signal " + std::to_string(value_) + " (" + strsignal(value_) + ")";
}

}  // namespace E2e
