#ifndef SYNC_SYS_JOURNALWRITER_H
#define SYNC_SYS_JOURNALWRITER_H

#include <string>
#include <utility>
#include <vector>

namespace SyncSys {

// One log entry with structured fields. Under systemd (JOURNAL_STREAM set) it goes to the journal
// through its native protocol, so that every field can be filtered on (journalctl SYNC_PORT=...);
// elsewhere, and whenever the journal refuses it, it is one line on stderr:
//     program: [error: |warning: ]message [FIELD=value FIELD="value with blanks"]
// Control characters in the message and in values are written as \xNN there, so a line stays a line.
class JournalWriter {
  public:
    // Field names as the journal takes them: capitals, digits and '_', not starting with '_'.
    using Fields = std::vector<std::pair<std::string, std::string>>;

    // priority: syslog's, LOG_ERR (3) to LOG_DEBUG (7).
    static void write(int priority, const std::string& message, const Fields& fields = {});
    // Whether entries go to the journal (decided once, from the environment).
    static bool toJournal();
    // The message and its fields as the stderr form writes them after the level word.
    static std::string line(const std::string& message, const Fields& fields);
};

}  // namespace SyncSys

#endif
