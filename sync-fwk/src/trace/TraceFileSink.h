// The plain-text trace sink: one stamped line per call, appended to a file in the working directory.
#ifndef SYNC_TRACE_TRACEFILESINK_H
#define SYNC_TRACE_TRACEFILESINK_H

namespace Sync {

class TraceFileSink {
  public:
    static constexpr const char* kPath = "./unittest_output.log";

    // Appends "[YYYY-MM-DD hh:mm:ss.mmm] file:line label:text\n" in local time. The file is opened and
    // closed for every line so that several processes can share it; a file that cannot be opened
    // loses the line.
    static void write(const char* file, int line, const char* label, const char* text);
};

}  // namespace Sync

#endif
