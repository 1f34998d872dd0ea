#ifndef SYNC_COLI_INTERFACE_H
#define SYNC_COLI_INTERFACE_H

#include <cstdint>

#include "control/BaseInterface.h"

namespace Sync {
namespace Coli {

// The daemon's side of the command server: finds the server by its mailbox name, and hands the
// server's messages (server up and down, registration answer, command requests) to their handlers.
// There is no connection protocol; every received command message is passed on as it comes.
class Interface : public BaseInterface {
  public:
    explicit Interface(uint32_t ownMboxId);
    ~Interface() override;

    // Looks for the command server; its SYNC_COLI_UP_IND starts the registration.
    void attachIf() override;
    void detachIf() override;
    void dispatchPrimitive(BasePrimitive* primitive, uint32_t senderPid) override;

    // False, with an ERROR naming the kind, when no primitive of kind id is registered (primitive null).
    bool checkPrimitive(BasePrimitive* primitive, uint32_t id) const;
};

}  // namespace Coli
}  // namespace Sync

#endif
