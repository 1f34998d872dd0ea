#ifndef SYNC_COLI_SYNCCOLIDOWNIND_H
#define SYNC_COLI_SYNCCOLIDOWNIND_H

#include "common_fwk_classes/coli/ColiSignalPrimitive.h"
#include "utilities/coli_common.h"

namespace Sync {
namespace Coli {

// The command server disappeared: returned by the monitor armed when it came up.
class SyncColiDownInd final : public ColiSignalPrimitive {
  public:
    static constexpr uint32_t PRIMITIVE_ID = 11;
    static constexpr uint32_t MSGNO = SYNC_COLI_DOWN_IND;

    SyncColiDownInd() : ColiSignalPrimitive(PRIMITIVE_ID, MSGNO, "SYNC_COLI_DOWN_IND") {}
};

}  // namespace Coli
}  // namespace Sync

#endif
