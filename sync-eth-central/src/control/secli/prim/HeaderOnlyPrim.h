#ifndef SYNC_ETHCENTRAL_SECLI_HEADERONLYPRIM_H
#define SYNC_ETHCENTRAL_SECLI_HEADERONLYPRIM_H

#include "control/BasePrimitive.h"

namespace Sync {
namespace EthCentral {
namespace Secli {

// The shape of every message that carries nothing but the common header: the confirmations a client
// sends and the remove requests the server sends. Each is used in one direction only; the other
// operation stays the base's empty one.
class HeaderOnlyPrim : public BasePrimitive {
  public:
    enum Direction { SENT, RECEIVED };

    void* constructMessage() override;
    void fetchPrimitive(void* msg) override;

  protected:
    HeaderOnlyPrim(uint32_t primitiveId, const char* name, Direction direction);

  private:
    Direction direction_;
};

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync

#endif
