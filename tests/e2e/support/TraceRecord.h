#ifndef SYNC_E2E_TRACERECORD_H
#define SYNC_E2E_TRACERECORD_H

#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

namespace E2e {

// One recorded event as babeltrace2 prints it (text output, --no-delta --clock-seconds):
//     [1.5] host com_zentrova_sync_lumov_control:WARNING: { cpu_id = 1 }, { vpid = 42 },
//         { file = "EpollController.cpp", line = 99, warn_msg = "Unhandled message, ..." }
// Every field of every group (context and payload) lands in `fields`, strings unquoted and
// unescaped, other values as printed.
class TraceRecord {
  public:
    std::string name;  // "com_zentrova_sync_lumov_control:WARNING"
    std::map<std::string, std::string> fields;

    // The part of the name after the provider: "WARNING".
    std::string event() const;
    // The field's text; empty when the event has no such field.
    std::string field(const std::string& key) const;
    // The recording process (the vpid context); -1 when not recorded.
    pid_t vpid() const;

    // Every event line of a whole output, in order; other lines (babeltrace2's own remarks, lines
    // this reader does not understand) are left out.
    static std::vector<TraceRecord> parseAll(const std::string& text);
};

}  // namespace E2e

#endif
