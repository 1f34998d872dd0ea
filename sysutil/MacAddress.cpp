#include "MacAddress.h"

#include <cctype>
#include <cstdio>

namespace SyncSys {

namespace {

uint8_t nibble(char c) {
    return static_cast<uint8_t>(std::isdigit(static_cast<unsigned char>(c))
                                    ? c - '0'
                                    : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10);
}

}  // namespace

std::optional<MacAddress::Bytes> MacAddress::parse(const std::string& text) {
    constexpr size_t LENGTH = 6 * 3 - 1;
    if (text.size() != LENGTH)
        return std::nullopt;
    Bytes mac;
    for (size_t i = 0; i < mac.size(); ++i) {
        const char high = text[i * 3];
        const char low = text[i * 3 + 1];
        if (!std::isxdigit(static_cast<unsigned char>(high)) ||
            !std::isxdigit(static_cast<unsigned char>(low)) || (i + 1 < mac.size() && text[i * 3 + 2] != ':'))
            return std::nullopt;
        mac[i] = static_cast<uint8_t>(nibble(high) << 4 | nibble(low));
    }
    return mac;
}

std::string MacAddress::format(const Bytes& mac) {
    char text[18];
    std::snprintf(text, sizeof text, "%02x:%02x:%02x:%02x:%02x:%02x", mac[0], mac[1], mac[2], mac[3], mac[4],
                  mac[5]);
    return text;
}

}  // namespace SyncSys
