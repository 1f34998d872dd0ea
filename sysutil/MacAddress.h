#ifndef SYNC_SYS_MACADDRESS_H
#define SYNC_SYS_MACADDRESS_H

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace SyncSys {

// A MAC address as text: six pairs of hexadecimal digits (either case) joined by colons, the form
// `ip link` prints and every program of the node reads and writes.
class MacAddress {
  public:
    using Bytes = std::array<uint8_t, 6>;

    // The address of a text of exactly that form; nothing for any other text.
    static std::optional<Bytes> parse(const std::string& text);
    // "xx:xx:xx:xx:xx:xx" in lower case, as the kernel writes it.
    static std::string format(const Bytes& mac);
};

}  // namespace SyncSys

#endif
