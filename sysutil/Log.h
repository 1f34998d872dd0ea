#ifndef SYNC_SYS_LOG_H
#define SYNC_SYS_LOG_H

#include <string>

#include "JournalWriter.h"

namespace SyncSys {

// Log lines of the programs that take a peer's place (sync-esmcd, sync-portd, sync-clockd): journal
// entries under systemd, with the structured fields a line names (SYNC_PORT=, SYNC_OUTPUT=, ...);
// otherwise lines on stderr that start with the program's name (JournalWriter).
class Log {
  public:
    enum Level { ERROR = 3, WARNING = 4, NOTICE = 5, INFO = 6 };
    using Fields = JournalWriter::Fields;

    static void write(Level level, const std::string& text, const Fields& fields = {});
    static void error(const std::string& text, const Fields& fields = {}) { write(ERROR, text, fields); }
    static void warning(const std::string& text, const Fields& fields = {}) { write(WARNING, text, fields); }
    static void info(const std::string& text, const Fields& fields = {}) { write(INFO, text, fields); }
    // Drops every line from now on (a fuzzer feeds millions of bad messages).
    static void silence();
};

}  // namespace SyncSys

#endif
