#ifndef SYNC_TOOLS_LOG_H
#define SYNC_TOOLS_LOG_H

#include <string>

namespace SyncTools {

// The log of the programs of the wire (sync-esmcd, sync-portd): lines on stderr, which systemd hands
// to the journal. Under systemd each line carries its syslog priority as a "<N>" prefix so that the
// journal files it at the right level; elsewhere it starts with the program's name.
class Log {
  public:
    static void setProgram(const char* name);
    enum Level { ERROR = 3, WARNING = 4, NOTICE = 5, INFO = 6 };

    static void write(Level level, const std::string& text);
    static void error(const std::string& text) { write(ERROR, text); }
    static void warning(const std::string& text) { write(WARNING, text); }
    static void info(const std::string& text) { write(INFO, text); }
    // Drops every line from now on (a fuzzer feeds millions of bad messages).
    static void silence();
};

}  // namespace SyncTools

#endif
