#include "MessageBuffer.h"

#include <cstdlib>
#include <cstring>

#include "tavi.h"

namespace Sync::Platform {

namespace {

// 16 bytes keep the message bytes as aligned as malloc's own result, so a 64-bit field at offset 8
// of a message can be read in place.
struct alignas(16) Header {
    uint32_t size;
    uint32_t sender;
};
static_assert(sizeof(Header) == 16, "message bytes must stay 16-byte aligned");

Header* headerOf(void* msg) {
    return reinterpret_cast<Header*>(static_cast<char*>(msg) - sizeof(Header));
}

const Header* headerOf(const void* msg) {
    return reinterpret_cast<const Header*>(static_cast<const char*>(msg) - sizeof(Header));
}

void* make(uint32_t size, uint32_t sender) {
    if (size < TAVI_MIN_MSG_SIZE || size > MessageBuffer::kMaxSize) {
        return nullptr;
    }
    auto* header = static_cast<Header*>(std::malloc(sizeof(Header) + size));
    if (header == nullptr) {
        return nullptr;
    }
    header->size = size;
    header->sender = sender;
    return header + 1;
}

}  // namespace

void* MessageBuffer::allocate(uint32_t size, uint32_t msgno) {
    void* msg = make(size, TAVI_NO_ID);
    if (msg != nullptr) {
        std::memset(msg, 0, size);
        std::memcpy(msg, &msgno, sizeof msgno);
    }
    return msg;
}

void* MessageBuffer::copy(const void* bytes, uint32_t size, uint32_t sender) {
    void* msg = make(size, sender);
    if (msg != nullptr) {
        std::memcpy(msg, bytes, size);
    }
    return msg;
}

void MessageBuffer::release(void* msg) {
    if (msg != nullptr) {
        std::free(headerOf(msg));
    }
}

uint32_t MessageBuffer::size(const void* msg) {
    return msg == nullptr ? 0 : headerOf(msg)->size;
}

uint32_t MessageBuffer::sender(const void* msg) {
    return msg == nullptr ? TAVI_NO_ID : headerOf(msg)->sender;
}

void MessageBuffer::setSender(void* msg, uint32_t sender) {
    headerOf(msg)->sender = sender;
}

uint32_t MessageBuffer::msgno(const void* msg) {
    uint32_t value = 0;
    std::memcpy(&value, msg, sizeof value);
    return value;
}

}  // namespace Sync::Platform
