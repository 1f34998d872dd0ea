#ifndef SYNC_CONTROL_INITCFMPRIMITIVE_H
#define SYNC_CONTROL_INITCFMPRIMITIVE_H

#include "control/BasePrimitive.h"

namespace Sync {

// A server's init confirm: the protocol revision it chose, at 12 (16 bytes). Instantiated per interface
// with its message number and name; interfaces with other trace texts override the two operations.
class InitCfmPrimitive : public BasePrimitive {
  public:
    static constexpr uint32_t SIZE = 16;
    static constexpr size_t PV_SELECTED_OFFSET = 12;

    InitCfmPrimitive(uint32_t msgno, const char* name, uint32_t messageSize = SIZE);

    void* constructMessage() override;
    void fetchPrimitive(void* msg) override;

    uint32_t getPvSelected() const { return pvSelected_; }
    void setPvSelected(uint32_t value) { pvSelected_ = value; }

  private:
    uint32_t pvSelected_ = 0;
};

}  // namespace Sync

#endif
