#ifndef SYNC_COLI_SYNCCOLIREQ_H
#define SYNC_COLI_SYNCCOLIREQ_H

#include <cstdint>
#include <string>
#include <vector>

#include "control/BasePrimitive.h"

namespace Sync {
namespace Coli {

// One command invocation: `len` (host order) at 4, then the packed argument strings. A request whose
// arguments cannot be unpacked (too short for `len`, `len` past the message, no final NUL) leaves the
// argument list empty, and the command answers that as a wrong argument count.
class SyncColiReq final : public BasePrimitive {
  public:
    static constexpr uint32_t PRIMITIVE_ID = 13;

    SyncColiReq();

    void fetchPrimitive(void* msg) override;

    // The arguments of the last request, argument 0 being the command name as typed.
    const std::vector<std::string>& getArguments() const { return arguments_; }

  private:
    std::vector<std::string> arguments_;
};

}  // namespace Coli
}  // namespace Sync

#endif
