#ifndef SYNC_COLI_COLISIGNALPRIMITIVE_H
#define SYNC_COLI_COLISIGNALPRIMITIVE_H

#include <cstdint>

#include "control/BasePrimitive.h"

namespace Sync {
namespace Coli {

// The shape of the command messages that carry nothing but their number (4 bytes). The daemon builds
// them itself and hands them to the mailbox library's locate and monitor, which return them later; so
// they are never packed here, and their arrival is traced by name alone.
class ColiSignalPrimitive : public BasePrimitive {
  public:
    void fetchPrimitive(void* msg) override;

  protected:
    ColiSignalPrimitive(uint32_t primitiveId, uint32_t msgno, const char* name);
};

}  // namespace Coli
}  // namespace Sync

#endif
