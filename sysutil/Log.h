#ifndef SYNC_SYS_LOG_H
#define SYNC_SYS_LOG_H

#include <string>

namespace SyncSys {

// Log lines of the programs that take a peer's place (sync-esmcd, sync-portd, sync-clockd) on
// stderr, which systemd hands to the journal: under systemd each line carries its syslog priority as a "<N>"
// prefix so that the journal files it at the right level; otherwise it starts with the program's name.
class Log {
  public:
    enum Level { ERROR = 3, WARNING = 4, NOTICE = 5, INFO = 6 };

    static void write(Level level, const std::string& text);
    static void error(const std::string& text) { write(ERROR, text); }
    static void warning(const std::string& text) { write(WARNING, text); }
    static void info(const std::string& text) { write(INFO, text); }
    // Drops every line from now on (a fuzzer feeds millions of bad messages).
    static void silence();
};

}  // namespace SyncSys

#endif
