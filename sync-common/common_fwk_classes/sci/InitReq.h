#ifndef SYNC_SCI_INITREQ_H
#define SYNC_SCI_INITREQ_H

#include "common_fwk_classes/sci/Messages.h"
#include "control/InitReqPrimitive.h"

namespace Sync {
namespace Sci {

// The connection request: how many protocol revisions follow (12), then up to three revisions at 16,
// 20 and 24 (28 bytes). Only the announced revisions are written; the other words stay zero.
class InitReq : public InitReqPrimitive {
  public:
    static constexpr uint32_t PRIMITIVE_ID = Messages::Management::CONNECTION_ESTABLISHMENT_REQ.primitiveId;
    static constexpr size_t SIZE_OF_REVISIONS_OFFSET = 12;
    static constexpr size_t REV1_OFFSET = 16;
    static constexpr size_t REVISION_STEP = 4;
    static constexpr uint32_t MAX_REVISIONS = 3;
    static constexpr uint32_t SIZE = 28;

    InitReq();

    void* constructMessage() override;
    void fetchPrimitive(void* msg) override;

    uint32_t getSizeOfSupportedProtocolRevisions() const { return sizeOfSupportedProtocolRevisions_; }
    void setSizeOfSupportedProtocolRevisions(uint32_t value) { sizeOfSupportedProtocolRevisions_ = value; }

  private:
    uint32_t sizeOfSupportedProtocolRevisions_ = 1;
};

}  // namespace Sci
}  // namespace Sync

#endif
