#include "Log.h"

#include <errno.h>

#include <cstdio>
#include <cstdlib>

namespace SyncSys {

namespace {
bool silent = false;
}  // namespace

void Log::silence() {
    silent = true;
}

void Log::write(Level level, const std::string& text) {
    if (silent)
        return;
    static const bool journal = std::getenv("JOURNAL_STREAM") != nullptr;
    static const char* const names[] = {"", "", "", "error: ", "warning: ", "", "", ""};
    if (journal)
        std::fprintf(stderr, "<%d>%s\n", static_cast<int>(level), text.c_str());
    else
        std::fprintf(stderr, "%s: %s%s\n", program_invocation_short_name, names[level], text.c_str());
}

}  // namespace SyncSys
