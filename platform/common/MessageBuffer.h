#ifndef SYNC_PLATFORM_MESSAGEBUFFER_H
#define SYNC_PLATFORM_MESSAGEBUFFER_H

#include <cstdint>

namespace Sync::Platform {

// A mailbox message as the application sees it: a pointer to its bytes, with the size and the
// sender kept in a hidden header just in front of them.
class MessageBuffer {
  public:
    // The bus carries arrays of at most 2^26 bytes; nothing larger can be sent.
    static constexpr uint32_t kMaxSize = 1u << 26;

    // A zero-filled message whose first word is msgno; null when size is below 4 or above kMaxSize.
    static void* allocate(uint32_t size, uint32_t msgno);
    // A copy of size bytes received from sender; null when size is below 4 or above kMaxSize.
    static void* copy(const void* bytes, uint32_t size, uint32_t sender);
    // Frees a message (null is ignored).
    static void release(void* msg);

    static uint32_t size(const void* msg);
    static uint32_t sender(const void* msg);
    static void setSender(void* msg, uint32_t sender);
    static uint32_t msgno(const void* msg);
};

}  // namespace Sync::Platform

#endif
