#ifndef SYNC_CONTROL_INITSUSPRIMITIVE_H
#define SYNC_CONTROL_INITSUSPRIMITIVE_H

#include "control/BasePrimitive.h"

namespace Sync {

// A server's answer to an init request naming none of its revisions: the revision it would accept,
// at 12 (16 bytes).
class InitSusPrimitive : public BasePrimitive {
  public:
    static constexpr uint32_t SIZE = 16;
    static constexpr size_t SUPPORTED_REVISION_OFFSET = 12;

    InitSusPrimitive(uint32_t msgno, const char* name, uint32_t messageSize = SIZE);

    void* constructMessage() override;
    void fetchPrimitive(void* msg) override;

    uint32_t getSupportedRevision() const { return supportedRevision_; }
    void setSupportedRevision(uint32_t value) { supportedRevision_ = value; }

  private:
    uint32_t supportedRevision_ = 0;
};

}  // namespace Sync

#endif
