#ifndef SYNC_COLI_SYNCCOLIUPIND_H
#define SYNC_COLI_SYNCCOLIUPIND_H

#include "common_fwk_classes/coli/ColiSignalPrimitive.h"
#include "utilities/coli_common.h"

namespace Sync {
namespace Coli {

// The command server exists: returned by the locate of "Sync_tavi_coli", sent by the server.
class SyncColiUpInd final : public ColiSignalPrimitive {
  public:
    static constexpr uint32_t PRIMITIVE_ID = 10;
    static constexpr uint32_t MSGNO = SYNC_COLI_UP_IND;

    SyncColiUpInd() : ColiSignalPrimitive(PRIMITIVE_ID, MSGNO, "SYNC_COLI_UP_IND") {}
};

}  // namespace Coli
}  // namespace Sync

#endif
