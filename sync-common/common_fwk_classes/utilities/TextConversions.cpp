#include "common_fwk_classes/utilities/TextConversions.h"

#include <cstdio>
#include <cstring>
#include <new>

namespace Sync {

const char* toChar(bool value) {
    static char buffer[8];
    std::snprintf(buffer, sizeof(buffer), "%s", value ? "true" : "false");
    return buffer;
}

bool isEqual(const char* a, std::size_t aLength, const char* b, std::size_t bLength) {
    if (aLength != bLength) {
        return false;
    }
    if (aLength == 0) {
        return true;
    }
    if (a == nullptr || b == nullptr) {
        return false;
    }
    return std::memcmp(a, b, aLength) == 0;
}

std::unique_ptr<char[]> joinTokens(const char* text) {
    if (text == nullptr) {
        return nullptr;
    }
    std::unique_ptr<char[]> joined(new (std::nothrow) char[JOIN_TOKENS_MAX_LENGTH + 1]);
    if (!joined) {
        return nullptr;
    }
    std::size_t length = std::strlen(text);
    const char* start = length > JOIN_TOKENS_MAX_LENGTH ? text + (length - JOIN_TOKENS_MAX_LENGTH) : text;
    static const char separators[] = ";, ";

    // The output never grows past the input: each separator run becomes at most one ':'.
    std::size_t out = 0;
    const char* p = start;
    while (*p != '\0') {
        p += std::strspn(p, separators);
        std::size_t tokenLength = std::strcspn(p, separators);
        if (tokenLength == 0) {
            break;
        }
        if (out > 0) {
            joined[out++] = ':';
        }
        std::memcpy(&joined[out], p, tokenLength);
        out += tokenLength;
        p += tokenLength;
    }
    joined[out] = '\0';
    return joined;
}

}  // namespace Sync
