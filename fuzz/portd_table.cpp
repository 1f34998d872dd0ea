// Feeds arbitrary text to sync-portd's port table parser: it either accepts the whole table, every
// entry within the limits the wire and the kernel set, or names at least one bad line and keeps
// nothing.
#include <cstddef>
#include <cstdint>
#include <set>
#include <sstream>
#include <string>

#include "PortTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::istringstream text(std::string(reinterpret_cast<const char*>(data), size));
    SyncPortd::PortTable table;
    const bool good = table.parse(text);
    if (good != table.errors().empty() || (!good && !table.entries().empty()))
        __builtin_trap();
    std::set<std::string> names;
    for (const SyncPortd::PortTable::Entry& entry : table.entries()) {
        if (entry.portName.empty() || entry.portName.size() > 16 || entry.interfaceName.empty() ||
            entry.interfaceName.size() > 15 || entry.netns.size() > 63 ||
            entry.netns.find('/') != std::string::npos || !names.insert(entry.portName).second)
            __builtin_trap();
    }
    return 0;
}
