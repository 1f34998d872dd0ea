#include "Log.h"

namespace SyncSys {

namespace {
bool silent = false;
}  // namespace

void Log::silence() {
    silent = true;
}

void Log::write(Level level, const std::string& text, const Fields& fields) {
    if (!silent)
        JournalWriter::write(level, text, fields);
}

}  // namespace SyncSys
