// Formatting and parsing of MAC addresses, 64-bit identities and IP addresses for traces and
// messages. Every formatter writes into the caller's buffer with snprintf semantics (never past
// size, NUL-terminated when size > 0) and returns that buffer.
#ifndef SYNC_ADDRESS_FORMAT_H
#define SYNC_ADDRESS_FORMAT_H

#include <cstddef>
#include <cstdint>

namespace Sync {

constexpr std::size_t MAC_ADDRESS_LENGTH = 6;
constexpr std::size_t IDENTITY_LENGTH = 8;
constexpr std::size_t IPV4_ADDRESS_LENGTH = 4;
constexpr std::size_t IPV6_ADDRESS_LENGTH = 16;

// Buffer sizes that hold the complete texts, NUL included.
constexpr std::size_t MAC_ADDRESS_TEXT_SIZE = 18;  // "xx:xx:xx:xx:xx:xx"
constexpr std::size_t IDENTITY_TEXT_SIZE = 24;     // "xx:xx:xx:xx:xx:xx:xx:xx"
constexpr std::size_t IP_ADDRESS_TEXT_SIZE = 40;   // eight groups of four hex digits

// Address families of an IpAddressRecord (the Linux socket family numbers).
constexpr uint32_t IP_FAMILY_INET = 2;
constexpr uint32_t IP_FAMILY_INET6 = 10;

// Address types accepted by isValidIpAddress.
constexpr uint32_t IP_ADDRESS_TYPE_IPV4 = 0;
constexpr uint32_t IP_ADDRESS_TYPE_IPV6 = 1;

// An address family followed by the address bytes (4 used for IPv4, 16 for IPv6).
struct IpAddressRecord {
    uint32_t family;
    uint8_t address[IPV6_ADDRESS_LENGTH];
};

// "%02x:%02x:%02x:%02x:%02x:%02x" of MAC_ADDRESS_LENGTH bytes.
char* formatMacAddress(const uint8_t* mac, char* buffer, std::size_t size);

// An IDENTITY_LENGTH-byte identity as "%02x:%02x:%02x:%02x:%02x:%02x:%02x:%02x".
char* formatIdentityColon(const uint8_t* identity, char* buffer, std::size_t size);

// An IDENTITY_LENGTH-byte identity as "%02x%02x%02x.%02x%02x.%02x%02x%02x".
char* formatIdentityDotted(const uint8_t* identity, char* buffer, std::size_t size);

// Dotted decimal for IP_FAMILY_INET, eight colon-separated groups of four hex digits (no
// shortening) for IP_FAMILY_INET6, an empty text for any other family.
char* formatIpAddress(const IpAddressRecord& ip, char* buffer, std::size_t size);

// Each byte as "%02x ", appended only while the whole entry still fits.
char* formatBytes(const uint8_t* data, std::size_t length, char* buffer, std::size_t size);

// Reads "%hhx:%hhx:%hhx:%hhx:%hhx:%hhx" into mac. 0 when all six fields were read; otherwise -1
// and mac is left untouched.
int parseMacAddress(const char* text, uint8_t* mac);

// Whether text is an address of the given IP_ADDRESS_TYPE_*; any other type is accepted as is.
bool isValidIpAddress(uint32_t addressType, const char* text);

}  // namespace Sync

#endif
