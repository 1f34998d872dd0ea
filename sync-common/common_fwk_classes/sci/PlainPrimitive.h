#ifndef SYNC_SCI_PLAINPRIMITIVE_H
#define SYNC_SCI_PLAINPRIMITIVE_H

#include "Macros.h"
#include "common_fwk_classes/sci/ServicePrimitive.h"

namespace Sync {
namespace Sci {

// A service message without payload (16 bytes): subscribe and unsubscribe requests, their
// confirmations, and the indications that carry nothing but the event itself.
template <const MessageDescriptor& Message>
class PlainPrimitive : public ServicePrimitive {
  public:
    static constexpr uint32_t PRIMITIVE_ID = Message.primitiveId;
    PlainPrimitive() : ServicePrimitive(Message, HEADER_WITH_ENTITY_SIZE) {}

    void* constructMessage() override {
        void* msg = allocServiceMessage();
        TRACE_SEND_MSG("%s with data: (procedureReference = %u, connectionReference = %u%sentityId = %u)",
                       tracedName(), getProcedureReference(), getConnectionReference(), entityIdSeparator(),
                       getEntityId());
        return msg;
    }

    void fetchPrimitive(void* msg) override {
        readServiceHeader(msg);
        TRACE_REC_MSG("%s with data: (procedureReference = %u, connectionReference = %u%sentityId = %u)",
                      tracedName(), getProcedureReference(), getConnectionReference(), entityIdSeparator(),
                      getEntityId());
    }
};

}  // namespace Sci
}  // namespace Sync

#endif
