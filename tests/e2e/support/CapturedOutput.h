#ifndef SYNC_E2E_CAPTUREDOUTPUT_H
#define SYNC_E2E_CAPTUREDOUTPUT_H

#include <cstdio>
#include <string>

namespace E2e {

// An anonymous temporary file that a child writes its stdout and stderr to, read back afterwards
// for assertions and failure messages. Removed by the system once closed.
class CapturedOutput {
  public:
    CapturedOutput();
    ~CapturedOutput();
    CapturedOutput(const CapturedOutput&) = delete;
    CapturedOutput& operator=(const CapturedOutput&) = delete;

    // The descriptor to hand to the child; -1 when no file could be made.
    int fd() const;
    // Everything written so far.
    std::string text() const;

  private:
    std::FILE* file_;
};

}  // namespace E2e

#endif
