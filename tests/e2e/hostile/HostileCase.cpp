#include "HostileCase.h"

#include <cstdio>

namespace E2e {

namespace {

std::string format(const char* pattern, uint32_t msgno) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, msgno, msgno);
    return text;
}

}  // namespace

std::string HostileCase::shortText(const Kind& kind, size_t received, size_t needed) {
    return std::string("Dropped short message ") + kind.name + format(", msgno %u [0x%08X]: ", kind.msgno) +
           std::to_string(received) + " bytes received, " + std::to_string(needed) + " needed";
}

std::string HostileCase::unknownText(uint32_t msgno) {
    return format("Unhandled message, msg.id=%u [0x%08X]", msgno);
}

std::string HostileCase::emptyText(uint32_t from, size_t size) {
    return "(mailbox " + std::to_string(from) + "): " + std::to_string(size) +
           " bytes, less than a message number";
}

std::vector<HostileCase> HostileCase::empties(uint32_t from) {
    return {{"empty", SyncTools::WireBuffer(std::vector<uint8_t>{}), emptyText(from, 0)},
            {"two bytes", SyncTools::WireBuffer(std::vector<uint8_t>{0x42, 0x10}), emptyText(from, 2)}};
}

std::string HostileCase::wrongStateText(uint32_t kind, uint32_t state) {
    return "Coding error: Management primitive (" + std::to_string(kind) + ") received in wrong state (" +
           std::to_string(state) + ")";
}

std::vector<HostileCase> HostileCase::truncations(const std::vector<Kind>& kinds) {
    std::vector<HostileCase> cases;
    for (const Kind& kind : kinds) {
        SyncTools::WireBuffer oneShort(kind.msgno, kind.size - 1);
        cases.push_back({std::string(kind.name) + " one byte short", oneShort,
                         shortText(kind, kind.size - 1, kind.size)});
        cases.push_back({std::string(kind.name) + " message number only",
                         SyncTools::WireBuffer(kind.msgno, 4), shortText(kind, 4, kind.size)});
    }
    return cases;
}

std::vector<HostileCase> HostileCase::sentByTheOtherSide(const std::vector<Kind>& kinds, uint32_t from,
                                                         const std::string& other, size_t extra) {
    std::vector<HostileCase> cases;
    for (const Kind& kind : kinds)
        cases.push_back({std::string(kind.name) + " from the wrong side", oversized(kind, extra),
                         std::string("Dropped ") + kind.name + " from " + std::to_string(from) +
                             ": only the " + other + " sends it"});
    return cases;
}

std::vector<HostileCase> HostileCase::unknowns(const std::vector<uint32_t>& msgnos, size_t size) {
    std::vector<HostileCase> cases;
    for (uint32_t msgno : msgnos)
        cases.push_back({"unknown message number " + std::to_string(msgno),
                         SyncTools::WireBuffer(msgno, size), unknownText(msgno)});
    return cases;
}

SyncTools::WireBuffer HostileCase::oversized(const Kind& kind, size_t extra) {
    SyncTools::WireBuffer message(kind.msgno, kind.size + extra);
    for (size_t i = kind.size; i < message.size(); ++i)
        message.put8(i, static_cast<uint8_t>(0xA5 ^ i));
    return message;
}

}  // namespace E2e
