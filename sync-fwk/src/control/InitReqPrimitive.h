#ifndef SYNC_CONTROL_INITREQPRIMITIVE_H
#define SYNC_CONTROL_INITREQPRIMITIVE_H

#include "control/BasePrimitive.h"

namespace Sync {

// A client's init request: the three protocol revisions it accepts, in order of preference. Each
// interface instantiates it with its own message number and name; the default layout puts the three
// revisions at 12, 16 and 20 (24 bytes). An interface with another layout or trace text overrides
// constructMessage/fetchPrimitive, building on packRevisions/unpackRevisions where they fit.
class InitReqPrimitive : public BasePrimitive {
  public:
    static constexpr uint32_t SIZE = 24;
    static constexpr size_t FIRST_WANTED_OFFSET = 12;
    static constexpr size_t SECOND_WANTED_OFFSET = 16;
    static constexpr size_t THIRD_WANTED_OFFSET = 20;

    InitReqPrimitive(uint32_t msgno, const char* name, uint32_t messageSize = SIZE);

    void* constructMessage() override;
    void fetchPrimitive(void* msg) override;

    uint32_t getPvFirstWanted() const { return pvFirstWanted_; }
    void setPvFirstWanted(uint32_t value) { pvFirstWanted_ = value; }
    uint32_t getPvSecondWanted() const { return pvSecondWanted_; }
    void setPvSecondWanted(uint32_t value) { pvSecondWanted_ = value; }
    uint32_t getPvThirdWanted() const { return pvThirdWanted_; }
    void setPvThirdWanted(uint32_t value) { pvThirdWanted_ = value; }

  protected:
    // The default layout without trace: a new message with header and revisions / the fields read back.
    void* packRevisions() const;
    void unpackRevisions(const void* msg);

  private:
    uint32_t pvFirstWanted_ = 0;
    uint32_t pvSecondWanted_ = 0;
    uint32_t pvThirdWanted_ = 0;
};

}  // namespace Sync

#endif
