#ifndef SYNC_SCI_VALUEPRIMITIVE_H
#define SYNC_SCI_VALUEPRIMITIVE_H

#include <cstdint>
#include <type_traits>

#include "Macros.h"
#include "common_fwk_classes/sci/ServicePrimitive.h"

namespace Sync {
namespace Sci {

// A service message with one integer at 16 (20 bytes): a big-endian 32-bit word, or a single byte
// that travels unconverted. The field is traced under the name in the message's descriptor.
template <const MessageDescriptor& Message, typename Value = uint32_t>
class ValuePrimitive : public ServicePrimitive {
    static_assert(std::is_same<Value, uint32_t>::value || std::is_same<Value, uint8_t>::value,
                  "one big-endian word or one byte");

  public:
    static constexpr uint32_t PRIMITIVE_ID = Message.primitiveId;
    static constexpr uint32_t SIZE = 20;

    ValuePrimitive() : ServicePrimitive(Message, SIZE) {}

    Value getValue() const { return value_; }
    void setValue(Value value) { value_ = value; }

    void* constructMessage() override {
        void* msg = allocServiceMessage();
        if (msg != nullptr)
            writeValue(msg);
        TRACE_SEND_MSG(
            "%s with data: (procedureReference = %u, connectionReference = %u, entityId = %u, %s = %u)",
            tracedName(), getProcedureReference(), getConnectionReference(), getEntityId(), Message.field,
            static_cast<unsigned>(value_));
        return msg;
    }

    void fetchPrimitive(void* msg) override {
        readServiceHeader(msg);
        readValue(msg);
        TRACE_REC_MSG(
            "%s with data: (procedureReference = %u, connectionReference = %u, entityId = %u, %s = %u)",
            tracedName(), getProcedureReference(), getConnectionReference(), getEntityId(), Message.field,
            static_cast<unsigned>(value_));
    }

  private:
    void writeValue(void* msg) const {
        if constexpr (std::is_same<Value, uint8_t>::value)
            putU8(msg, FIELD_OFFSET, value_);
        else
            putU32(msg, FIELD_OFFSET, value_);
    }

    void readValue(const void* msg) {
        if constexpr (std::is_same<Value, uint8_t>::value)
            value_ = getU8(msg, FIELD_OFFSET);
        else
            value_ = getU32(msg, FIELD_OFFSET);
    }

    Value value_ = 0;
};

}  // namespace Sci
}  // namespace Sync

#endif
