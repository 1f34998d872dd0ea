#include "common_fwk_classes/utilities/AddressFormat.h"

#include <arpa/inet.h>

#include <cstdio>
#include <cstring>

namespace Sync {

char* formatMacAddress(const uint8_t* mac, char* buffer, std::size_t size) {
    // Every port record of a port list carries one; written by hand, as printf costs far more here.
    static constexpr char kHex[] = "0123456789abcdef";
    char text[MAC_ADDRESS_TEXT_SIZE];
    for (std::size_t i = 0; i < 6; ++i) {
        text[3 * i] = kHex[mac[i] >> 4];
        text[3 * i + 1] = kHex[mac[i] & 0xF];
        text[3 * i + 2] = ':';
    }
    text[sizeof text - 1] = '\0';
    if (size > 0) {
        const std::size_t length = size - 1 < sizeof text - 1 ? size - 1 : sizeof text - 1;
        std::memcpy(buffer, text, length);
        buffer[length] = '\0';
    }
    return buffer;
}

char* formatIdentityColon(const uint8_t* identity, char* buffer, std::size_t size) {
    const uint8_t* id = identity;
    std::snprintf(buffer, size, "%02x:%02x:%02x:%02x:%02x:%02x:%02x:%02x", id[0], id[1], id[2], id[3], id[4],
                  id[5], id[6], id[7]);
    return buffer;
}

char* formatIdentityDotted(const uint8_t* identity, char* buffer, std::size_t size) {
    const uint8_t* id = identity;
    std::snprintf(buffer, size, "%02x%02x%02x.%02x%02x.%02x%02x%02x", id[0], id[1], id[2], id[3], id[4],
                  id[5], id[6], id[7]);
    return buffer;
}

char* formatIpAddress(const IpAddressRecord& ip, char* buffer, std::size_t size) {
    const uint8_t* a = ip.address;
    if (ip.family == IP_FAMILY_INET) {
        std::snprintf(buffer, size, "%u.%u.%u.%u", a[0], a[1], a[2], a[3]);
    } else if (ip.family == IP_FAMILY_INET6) {
        std::snprintf(buffer, size, "%02x%02x:%02x%02x:%02x%02x:%02x%02x:%02x%02x:%02x%02x:%02x%02x:%02x%02x",
                      a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8], a[9], a[10], a[11], a[12], a[13],
                      a[14], a[15]);
    } else if (size > 0) {
        buffer[0] = '\0';
    }
    return buffer;
}

char* formatBytes(const uint8_t* data, std::size_t length, char* buffer, std::size_t size) {
    static const std::size_t entryLength = 3;  // two hex digits and a blank
    if (size == 0) {
        return buffer;
    }
    std::size_t used = 0;
    buffer[0] = '\0';
    for (std::size_t i = 0; i < length && size - used > entryLength; ++i) {
        std::snprintf(buffer + used, size - used, "%02x ", data[i]);
        used += entryLength;
    }
    return buffer;
}

int parseMacAddress(const char* text, uint8_t* mac) {
    if (text == nullptr) {
        return -1;
    }
    unsigned char parsed[MAC_ADDRESS_LENGTH];
    int fields = std::sscanf(text, "%hhx:%hhx:%hhx:%hhx:%hhx:%hhx", &parsed[0], &parsed[1], &parsed[2],
                             &parsed[3], &parsed[4], &parsed[5]);
    if (fields != static_cast<int>(MAC_ADDRESS_LENGTH)) {
        return -1;
    }
    std::memcpy(mac, parsed, sizeof(parsed));
    return 0;
}

bool isValidIpAddress(uint32_t addressType, const char* text) {
    int family;
    if (addressType == IP_ADDRESS_TYPE_IPV4) {
        family = AF_INET;
    } else if (addressType == IP_ADDRESS_TYPE_IPV6) {
        family = AF_INET6;
    } else {
        return true;
    }
    if (text == nullptr) {
        return false;
    }
    unsigned char address[sizeof(struct in6_addr)];
    return inet_pton(family, text, address) == 1;
}

}  // namespace Sync
