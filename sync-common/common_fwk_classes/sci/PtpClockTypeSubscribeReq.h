#ifndef SYNC_SCI_PTPCLOCKTYPESUBSCRIBEREQ_H
#define SYNC_SCI_PTPCLOCKTYPESUBSCRIBEREQ_H

#include "common_fwk_classes/sci/Messages.h"
#include "common_fwk_classes/sci/ServicePrimitive.h"

namespace Sync {
namespace Sci {

// A subscription that tells the server which PTP clock type the client is: one byte at 16 (20 bytes).
class PtpClockTypeSubscribeReq : public ServicePrimitive {
  public:
    static constexpr uint32_t PRIMITIVE_ID = Messages::PtpClockType::SUBSCRIBE_REQ.primitiveId;
    enum PtpClockType : uint8_t {
        GRAND_MASTER_ORDINARY_CLOCK = 0,
        BOUNDARY_CLOCK = 1,
        SLAVE_ONLY_ORDINARY_CLOCK = 2,
    };
    static constexpr uint32_t SIZE = 20;

    PtpClockTypeSubscribeReq();

    void* constructMessage() override;
    void fetchPrimitive(void* msg) override;

    uint8_t getPtpClockType() const { return ptpClockType_; }
    void setPtpClockType(uint8_t value) { ptpClockType_ = value; }

    // The type's name as traced; "UNDEFINED_PTP_CLOCK_TYPE" for a value outside the enumeration.
    static const char* ptpClockTypeName(uint8_t type);

  private:
    uint8_t ptpClockType_ = GRAND_MASTER_ORDINARY_CLOCK;
};

}  // namespace Sci
}  // namespace Sync

#endif
