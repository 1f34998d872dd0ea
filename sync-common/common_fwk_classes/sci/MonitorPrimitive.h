#ifndef SYNC_SCI_MONITORPRIMITIVE_H
#define SYNC_SCI_MONITORPRIMITIVE_H

#include "Macros.h"
#include "common_fwk_classes/sci/MessageDescriptor.h"
#include "control/BasePrimitive.h"

namespace Sync {
namespace Sci {

// The message one side leaves with the mailbox library's monitor of the other side's mailbox: the
// header only (12 bytes), delivered back when that mailbox is gone.
template <const MessageDescriptor& Message>
class MonitorPrimitive : public BasePrimitive {
  public:
    static constexpr uint32_t PRIMITIVE_ID = Message.primitiveId;
    MonitorPrimitive() : BasePrimitive(Message.primitiveId, Message.msgno, Message.name, HEADER_SIZE) {}

    void* constructMessage() override {
        void* msg = allocMessage();
        TRACE_SEND_MSG("Attach message: %s with data: (procedureReference = %u, connectionReference = %u)",
                       Message.name, getProcedureReference(), getConnectionReference());
        return msg;
    }

    void fetchPrimitive(void* msg) override {
        readHeader(msg);
        TRACE_REC_MSG("%s with data: (procedureReference = %u, connectionReference = %u)", Message.name,
                      getProcedureReference(), getConnectionReference());
    }
};

}  // namespace Sci
}  // namespace Sync

#endif
