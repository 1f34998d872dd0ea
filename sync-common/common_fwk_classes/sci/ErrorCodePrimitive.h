#ifndef SYNC_SCI_ERRORCODEPRIMITIVE_H
#define SYNC_SCI_ERRORCODEPRIMITIVE_H

#include "Macros.h"
#include "common_fwk_classes/sci/ServicePrimitive.h"

namespace Sync {
namespace Sci {

// A subscription rejection: the header and the server's errorCode at 16 (20 bytes).
template <const MessageDescriptor& Message>
class ErrorCodePrimitive : public ServicePrimitive {
  public:
    static constexpr uint32_t PRIMITIVE_ID = Message.primitiveId;
    static constexpr uint32_t SIZE = 20;

    ErrorCodePrimitive() : ServicePrimitive(Message, SIZE) {}

    uint32_t getErrorCode() const { return errorCode_; }
    void setErrorCode(uint32_t value) { errorCode_ = value; }

    void* constructMessage() override {
        void* msg = allocServiceMessage();
        if (msg != nullptr)
            putU32(msg, FIELD_OFFSET, errorCode_);
        TRACE_SEND_MSG(
            "%s with data: (procedureReference = %u, connectionReference = %u%sentityId = %u, errorCode = "
            "%u)",
            tracedName(), getProcedureReference(), getConnectionReference(), entityIdSeparator(),
            getEntityId(), errorCode_);
        return msg;
    }

    void fetchPrimitive(void* msg) override {
        readServiceHeader(msg);
        errorCode_ = getU32(msg, FIELD_OFFSET);
        TRACE_REC_MSG(
            "%s with data: (procedureReference = %u, connectionReference = %u%sentityId = %u, errorCode = "
            "%u)",
            tracedName(), getProcedureReference(), getConnectionReference(), entityIdSeparator(),
            getEntityId(), errorCode_);
    }

  private:
    uint32_t errorCode_ = 0;
};

}  // namespace Sci
}  // namespace Sync

#endif
