#ifndef SYNC_ETHCENTRAL_SECLI_CLIENTDOWNPRIM_H
#define SYNC_ETHCENTRAL_SECLI_CLIENTDOWNPRIM_H

#include "control/BasePrimitive.h"

namespace Sync {
namespace EthCentral {
namespace Secli {

// SECLI_CLIENT_DOWN_IND (12 bytes): the message the server leaves with the mailbox monitor of a client,
// delivered back to the server once that client's mailbox is gone. Built with only its number, so its
// references arrive as zero.
class ClientDownPrim : public BasePrimitive {
  public:
    ClientDownPrim();

    void* constructMessage() override;
    void fetchPrimitive(void* msg) override;
};

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync

#endif
