#ifndef SYNC_SCI_TEXTPRIMITIVE_H
#define SYNC_SCI_TEXTPRIMITIVE_H

#include <string>

#include "Macros.h"
#include "common_fwk_classes/sci/ServicePrimitive.h"

namespace Sync {
namespace Sci {

// A service message with one LDN text of 256 bytes at 16 (272 bytes), traced under the field name in
// the message's descriptor.
template <const MessageDescriptor& Message>
class TextPrimitive : public ServicePrimitive {
  public:
    static constexpr uint32_t PRIMITIVE_ID = Message.primitiveId;
    static constexpr uint32_t SIZE = FIELD_OFFSET + LDN_WIDTH;

    TextPrimitive() : ServicePrimitive(Message, SIZE) {}

    const std::string& getLdn() const { return ldn_; }
    void setLdn(const std::string& value) { ldn_ = value; }

    void* constructMessage() override {
        void* msg = allocServiceMessage();
        if (msg != nullptr)
            putText(msg, FIELD_OFFSET, LDN_WIDTH, ldn_);
        TRACE_SEND_MSG(
            "%s with data: (procedureReference = %u, connectionReference = %u, entityId = %u, %s = %s)",
            tracedName(), getProcedureReference(), getConnectionReference(), getEntityId(), Message.field,
            ldn_.c_str());
        return msg;
    }

    void fetchPrimitive(void* msg) override {
        readServiceHeader(msg);
        ldn_ = getText(msg, FIELD_OFFSET, LDN_WIDTH);
        TRACE_REC_MSG(
            "%s with data: (procedureReference = %u, connectionReference = %u, entityId = %u, %s = %s)",
            tracedName(), getProcedureReference(), getConnectionReference(), getEntityId(), Message.field,
            ldn_.c_str());
    }

  private:
    std::string ldn_;
};

}  // namespace Sci
}  // namespace Sync

#endif
