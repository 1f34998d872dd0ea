#ifndef SYNC_IEPCSI_SUBSCRIBEETHPORTSTATUSREQ_H
#define SYNC_IEPCSI_SUBSCRIBEETHPORTSTATUSREQ_H

#include <cstddef>
#include <cstdint>
#include <string>

#include "control/BasePrimitive.h"

namespace Sync {
namespace Iepcsi {

// Subscribes to the status of one port. procedureReference is the port's entity id, which the server
// echoes in the confirmation and in every status indication of the subscription. Role and name are
// one-shot: packing clears them, so a later subscription cannot send a stale port by mistake.
class SubscribeEthPortStatusReq final : public BasePrimitive {
  public:
    static constexpr uint32_t PRIMITIVE_ID = 13;
    static constexpr uint32_t MSGNO = 0x1B1050;
    static constexpr uint32_t SIZE = 32;
    static constexpr size_t PORT_ROLE_OFFSET = 12;
    static constexpr size_t PORT_NAME_OFFSET = 16;
    static constexpr size_t PORT_NAME_WIDTH = 16;

    SubscribeEthPortStatusReq();

    void* constructMessage() override;

    uint32_t getPortRole() const { return portRole_; }
    void setPortRole(uint32_t value) { portRole_ = value; }
    const std::string& getPortName() const { return portName_; }
    void setPortName(const std::string& value) { portName_ = value; }

  private:
    uint32_t portRole_ = 0;
    std::string portName_;
};

}  // namespace Iepcsi
}  // namespace Sync

#endif
