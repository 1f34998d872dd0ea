#ifndef SYNC_SCI_SERVICEPRIMITIVE_H
#define SYNC_SCI_SERVICEPRIMITIVE_H

#include <cstddef>
#include <cstdint>

#include "common_fwk_classes/sci/MessageDescriptor.h"
#include "control/BasePrimitive.h"

namespace Sync {
namespace Sci {

// A sync-control service message: the common header followed by the id of the client entity the
// message concerns, then the payload of the concrete message from offset 16. Every integer is
// big-endian on the wire unless the concrete message says otherwise.
class ServicePrimitive : public BasePrimitive {
  public:
    static constexpr size_t ENTITY_ID_OFFSET = 12;
    static constexpr size_t FIELD_OFFSET = 16;
    static constexpr uint32_t HEADER_WITH_ENTITY_SIZE = 16;
    static constexpr size_t LDN_WIDTH = 256;

    uint32_t getEntityId() const { return entityId_; }
    void setEntityId(uint32_t value) { entityId_ = value; }

  protected:
    ServicePrimitive(const MessageDescriptor& descriptor, uint32_t messageSize);

    // A new message of size bytes (getMessageSize() by default) holding the header and entityId.
    void* allocServiceMessage() const;
    void* allocServiceMessage(uint32_t size) const;
    // Reads procedureReference, connectionReference and entityId.
    void readServiceHeader(const void* msg);

    // The name the message is traced under.
    const char* tracedName() const { return descriptor_.tracedName(); }
    // What stands between connectionReference and entityId in the trace text.
    const char* entityIdSeparator() const { return descriptor_.entityIdJoined ? "" : ", "; }

  private:
    const MessageDescriptor& descriptor_;
    uint32_t entityId_ = UNSET;
};

}  // namespace Sci
}  // namespace Sync

#endif
