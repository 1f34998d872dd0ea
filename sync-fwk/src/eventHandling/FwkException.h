#ifndef SYNC_EVENTHANDLING_FWKEXCEPTION_H
#define SYNC_EVENTHANDLING_FWKEXCEPTION_H

#include <stdexcept>
#include <string>

namespace Sync {

// A refused entity creation; what() carries the reason.
class FwkException : public std::runtime_error {
  public:
    explicit FwkException(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace Sync

#endif
