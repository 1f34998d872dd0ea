#ifndef SYNC_CONTROL_INITREJPRIMITIVE_H
#define SYNC_CONTROL_INITREJPRIMITIVE_H

#include "control/BasePrimitive.h"

namespace Sync {

// A server's init reject, 16 bytes with one signed word at 12. A server sends its rejectCause there
// (1: no more clients accepted, 2: none of the wanted revisions supported); a client reads the word
// into reason.
class InitRejPrimitive : public BasePrimitive {
  public:
    static constexpr uint32_t SIZE = 16;
    static constexpr size_t REASON_OFFSET = 12;
    static constexpr uint8_t CAUSE_NO_MORE_CLIENTS = 1;
    static constexpr uint8_t CAUSE_REVISION_NOT_SUPPORTED = 2;

    InitRejPrimitive(uint32_t msgno, const char* name, uint32_t messageSize = SIZE);

    void* constructMessage() override;
    void fetchPrimitive(void* msg) override;

    uint32_t getSupportedRevision() const { return supportedRevision_; }
    void setSupportedRevision(uint32_t value) { supportedRevision_ = value; }
    uint8_t getRejectCause() const { return rejectCause_; }
    void setRejectCause(uint8_t value) { rejectCause_ = value; }
    int32_t getReason() const { return reason_; }
    void setReason(int32_t value) { reason_ = value; }

  private:
    uint32_t supportedRevision_ = 0;
    uint8_t rejectCause_ = 0;
    int32_t reason_ = 0;
};

}  // namespace Sync

#endif
