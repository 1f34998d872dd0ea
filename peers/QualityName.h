#ifndef SYNC_PEERS_QUALITYNAME_H
#define SYNC_PEERS_QUALITYNAME_H

#include <cstdint>
#include <optional>
#include <string>

namespace SyncPeers {

// The names of the clock qualities in the sync-control numbering (PRC 1 ... SEC_OR_EEC 9,
// DNU_OR_DUS 12, PRTC 18 ... EPRC 22), for the tables, scenarios and log lines of the node's
// programs.
class QualityName {
  public:
    static constexpr uint32_t FIRST = 1;
    static constexpr uint32_t LAST = 22;

    // The quality's name; "UNKNOWN" outside the numbering.
    static const char* of(uint32_t quality);
    // The quality a name stands for, in any case; nothing for a text that names none.
    static std::optional<uint32_t> parse(const std::string& name);
    // Every name in order, joined by ", ", for messages that list the choices.
    static std::string all();
};

}  // namespace SyncPeers

#endif
