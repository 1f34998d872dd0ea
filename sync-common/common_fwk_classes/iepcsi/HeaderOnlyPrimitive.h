#ifndef SYNC_IEPCSI_HEADERONLYPRIMITIVE_H
#define SYNC_IEPCSI_HEADERONLYPRIMITIVE_H

#include <cstdint>

#include "control/BasePrimitive.h"

namespace Sync {
namespace Iepcsi {

// The shape of every port-control message that carries only the common header (12 bytes). The
// concrete classes differ in number, kind and in which way they travel, which decides what is traced.
class HeaderOnlyPrimitive : public BasePrimitive {
  public:
    static constexpr uint32_t SIZE = HEADER_SIZE;

    enum class Role {
        // Built by the client and handed back later by the mailbox library (locate, monitor): packing
        // is silent, the arrival is traced by the message's name alone.
        NOTICE,
        // Client to server: packing is traced with both references; nothing is unpacked.
        OUTGOING,
        // Server to client: unpacking is traced with both references; nothing is packed.
        INCOMING,
    };

    void* constructMessage() override;
    void fetchPrimitive(void* msg) override;

    Role getRole() const { return role_; }

  protected:
    HeaderOnlyPrimitive(uint32_t primitiveId, uint32_t msgno, const char* name, Role role);

  private:
    Role role_;
};

}  // namespace Iepcsi
}  // namespace Sync

#endif
