#ifndef SYNC_PORTD_PORTTABLE_H
#define SYNC_PORTD_PORTTABLE_H

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

namespace SyncPortd {

// Which interfaces of the node are its Ethernet ports, read from a file of one line per port:
//     port ROLE RHAI_ID PORT_NAME INTERFACE_NAME [NAMESPACE]
// ROLE is `fronthaul` (role bit 0x4) or the role bits as a number; NAMESPACE an ip-netns name, `-` or
// nothing for the service's own namespace. `#` starts a comment. Everything else about a port (MAC,
// administrative and operational state) is the kernel's. A file with any bad line is refused whole.
class PortTable {
  public:
    struct Entry {
        uint32_t role = 0x4;
        uint32_t rhaiId = 0;
        std::string portName;
        std::string interfaceName;
        std::string netns;
        bool operator==(const Entry& other) const;
    };

    // True when every line was good; otherwise errors() names each bad line.
    bool parse(std::istream& text);
    // The same for a file; errors() then start with its path (or say why it cannot be read).
    bool load(const std::string& path);
    const std::vector<Entry>& entries() const { return entries_; }
    // "line N: what is wrong", in file order ("PATH: line N: ..." after load()).
    const std::vector<std::string>& errors() const { return errors_; }

  private:
    static bool parseLine(const std::vector<std::string>& words, Entry& entry, std::string& error);

    std::vector<Entry> entries_;
    std::vector<std::string> errors_;
};

}  // namespace SyncPortd

#endif
