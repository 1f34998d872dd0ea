#ifndef SYNC_IEPCSI_PORTSTATUSIND_H
#define SYNC_IEPCSI_PORTSTATUSIND_H

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

#include "control/BasePrimitive.h"

namespace Sync {
namespace Iepcsi {

// The status of one subscribed port; procedureReference is the port's entity id. The network
// namespace starts at 36 and runs to its NUL or the end of the message, whichever comes first: its
// width is the server's choice.
class PortStatusInd final : public BasePrimitive {
  public:
    static constexpr uint32_t PRIMITIVE_ID = 18;
    static constexpr uint32_t MSGNO = 0x1B1055;
    static constexpr uint32_t FIXED_SIZE = 36;
    static constexpr size_t ADMIN_STATE_OFFSET = 12;
    static constexpr size_t OPER_STATE_OFFSET = 16;
    static constexpr size_t PORT_NAME_OFFSET = 20;
    static constexpr size_t PORT_NAME_WIDTH = 16;
    static constexpr size_t NAMESPACE_OFFSET = 36;
    static constexpr uint32_t ADMIN_UNLOCKED = 1;
    static constexpr uint32_t OPER_ENABLED = 1;
    // The availability value a disabled port reports.
    static constexpr uint32_t AVAILABILITY_FAILED = 1;

    struct PortStatus {
        bool adminUnlocked = false;
        bool operEnabled = false;
        std::set<uint32_t> availabilityStatus;  // empty while enabled, {1} otherwise
        std::string portName;
        std::string networkNamespace;
    };

    PortStatusInd();

    void fetchPrimitive(void* msg) override;

    virtual const PortStatus& getPortStatus() const { return portStatus_; }

  private:
    PortStatus portStatus_;
};

}  // namespace Iepcsi
}  // namespace Sync

#endif
