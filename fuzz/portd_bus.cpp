// Feeds arbitrary messages from the bus to sync-portd's port-control service (no bus involved: the
// answers go nowhere), with a table of three ports whose namespaces do not exist. The input is a
// sequence of records: a selector byte, a 16-bit big-endian length and that many bytes, the message
// after its number. The selector's low four bits pick the number from the protocol's block
// 0x1B1041-0x1B1055 (two ranges) and bit 0x40 sends from a second client.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "Log.h"
#include "PortService.h"
#include "WireBuffer.h"

namespace {

constexpr uint32_t NUMBERS[] = {0x1B1041, 0x1B1042, 0x1B1043, 0x1B1044, 0x1B1045, 0x1B1046,
                                0x1B1047, 0x1B1048, 0x1B1049, 0x1B104A, 0x1B1050, 0x1B1051,
                                0x1B1052, 0x1B1053, 0x1B1054, 0x1B1055};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SyncSys::Log::silence();
    FuzzInput input(data, size);
    SyncPortd::PortService service;
    std::vector<SyncPortd::PortTable::Entry> table(3);
    for (size_t i = 0; i < table.size(); ++i) {
        table[i].rhaiId = static_cast<uint32_t>(i + 1);
        table[i].portName = "TnPort-" + std::to_string(i);
        table[i].interfaceName = "fh" + std::to_string(i);
        table[i].netns = "fuzz-no-such-namespace";
    }
    service.setTable(table);
    while (!input.empty()) {
        const uint8_t selector = input.byte();
        const size_t length = static_cast<size_t>(input.byte()) << 8 | input.byte();
        size_t got = 0;
        const uint8_t* body = input.take(length, got);
        SyncPeers::WireBuffer message(NUMBERS[selector & 0x0F], 4 + got);
        message.putBytes(4, body, got);
        service.server().inject(message, selector & 0x40 ? 0x9002 : 0x9001);
    }
    if (service.status().size() != table.size() + 1)
        __builtin_trap();
    return 0;
}
