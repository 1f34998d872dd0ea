#include "DeliverReader.h"

#include <cstddef>
#include <cstdint>

#include "MessageBuffer.h"
#include "WarningSink.h"
#include "tavi.h"

namespace Sync::Platform {

void* DeliverReader::read(sd_bus_message* m) {
    const char* sender = sd_bus_message_get_sender(m);
    sender = sender != nullptr ? sender : "?";
    if (!sd_bus_message_has_signature(m, "uay")) {
        WarningSink::emit("dropped Deliver from %s: signature '%s' instead of 'uay'", sender,
                          sd_bus_message_get_signature(m, 1));
        return nullptr;
    }
    uint32_t from = 0;
    const void* bytes = nullptr;
    size_t size = 0;
    if (sd_bus_message_read(m, "u", &from) < 0 || sd_bus_message_read_array(m, 'y', &bytes, &size) < 0) {
        WarningSink::emit("dropped Deliver from %s: unreadable body", sender);
        return nullptr;
    }
    if (size < TAVI_MIN_MSG_SIZE) {
        WarningSink::emit("dropped Deliver from %s (mailbox %u): %zu bytes, less than a message number",
                          sender, from, size);
        return nullptr;
    }
    void* msg = MessageBuffer::copy(bytes, static_cast<uint32_t>(size), from);
    if (msg == nullptr) {
        WarningSink::emit("dropped Deliver from %s (mailbox %u): %zu bytes", sender, from, size);
    }
    return msg;
}

}  // namespace Sync::Platform
