#ifndef SYNC_CLOCKD_QUALITYTABLE_H
#define SYNC_CLOCKD_QUALITYTABLE_H

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace SyncClockd {

// The clock settled quality (the sync-control numbering: PRC 1 ... SEC_OR_EEC 9, DNU_OR_DUS 12,
// PRTC 18 ...) for a grandmaster's clockClass, and the quality for no reference at all.
//
// The built-in rows follow the telecom profile's relation of clockClass to quality level:
//   6    PRTC          locked to a primary reference time clock
//   7    PRC           grandmaster in holdover within its limits
//   135  PRC           boundary clock in holdover within its limits
//   140  PRC           holdover beyond its limits, frequency from a category 1 (PRC) source
//   150  SSU_A_OR_TNC  the same from a category 2 source
//   160  SSU_B         the same from a category 3 source
//   165  SSU_B         boundary clock beyond its holdover limits, category 2 or 3 source
//   248  SEC_OR_EEC    free-running equipment clock
//   255  DNU_OR_DUS    slave-only clock: never a source
// No reference (no grandmaster, or the PTP stack silent) is SEC_OR_EEC: the node's own equipment
// clock then runs free, which is what SEC/EEC announces, so downstream clocks may still prefer a
// better source without being told to shun this one. Any class not in the table is treated as no
// reference.
//
// A file replaces the whole table: one row per line, "CLASS QUALITY" or "no-reference QUALITY",
// a quality by name or number; '#' starts a comment.
class QualityTable {
  public:
    static QualityTable standard();
    // The table of a file; nothing, with `error` naming the file's line, when it is bad.
    static std::optional<QualityTable> load(const std::string& path, std::string& error);

    // The quality for a clockClass; whether the table knows it.
    uint32_t lookup(uint8_t clockClass, bool* known = nullptr) const;
    uint32_t noReference() const { return noReference_; }
    // One line per row, for the status printout and --help.
    std::vector<std::string> describe() const;

    static const char* name(uint32_t quality);
    static std::optional<uint32_t> parseQuality(const std::string& text);

  private:
    std::map<uint8_t, uint32_t> rows_;
    uint32_t noReference_ = 9;
};

}  // namespace SyncClockd

#endif
