#include "trace/TraceFileSink.h"

#include <cstdio>
#include <ctime>

#include "trace/TraceHooks.h"

namespace Sync {

void TraceFileSink::write(const char* file, int line, const char* label, const char* text) {
    FILE* out = std::fopen(kPath, "a+");
    if (out == nullptr) {
        return;
    }
    const TraceTime now = traceNow();
    tm local{};
    localtime_r(&now.seconds, &local);
    std::fprintf(out, "[%04d-%02d-%02d %02d:%02d:%02d.%03d] %s:%d %s:%s\n", local.tm_year + 1900,
                 local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                 static_cast<int>(now.microseconds / 1000), file, line, label, text);
    std::fflush(out);
    std::fclose(out);
}

}  // namespace Sync
