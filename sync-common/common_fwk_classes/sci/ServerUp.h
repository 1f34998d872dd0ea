#ifndef SYNC_SCI_SERVERUP_H
#define SYNC_SCI_SERVERUP_H

#include "common_fwk_classes/sci/Messages.h"
#include "control/BasePrimitive.h"

namespace Sync {
namespace Sci {

// The name service's announcement that the "sci" service has an owner. Only received; the interface
// has already matched its subscription id, so unpacking has nothing to copy.
class ServerUp : public BasePrimitive {
  public:
    static constexpr uint32_t PRIMITIVE_ID = Messages::Management::SERVER_UP.primitiveId;
    ServerUp();

    void fetchPrimitive(void* msg) override;
};

}  // namespace Sci
}  // namespace Sync

#endif
