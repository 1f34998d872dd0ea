// Collects the trace lines a test provokes, as handed to the tracepoint sink (level and final text).
// While one exists every trace macro formats and reaches it, whether or not tracing is enabled.
// Captures nest: the innermost one collects, and the outer one resumes when it ends.
#ifndef SYNC_TEST_TRACECAPTURE_H
#define SYNC_TEST_TRACECAPTURE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "trace/TraceHooks.h"

namespace Sync {
namespace Test {

class TraceCapture {
  public:
    struct Line {
        uint32_t level;
        std::string function;
        std::string file;
        int line;
        std::string text;
    };

    TraceCapture() : previous(current()) {
        current() = this;
        Sync::setTraceCaptureHook(&TraceCapture::hook);
    }

    ~TraceCapture() {
        current() = previous;
        Sync::setTraceCaptureHook(previous != nullptr ? &TraceCapture::hook : nullptr);
    }

    TraceCapture(const TraceCapture&) = delete;
    TraceCapture& operator=(const TraceCapture&) = delete;

    bool contains(uint32_t level, const std::string& substring) const { return count(level, substring) > 0; }

    size_t count(uint32_t level, const std::string& substring) const {
        size_t found = 0;
        for (const Line& line : collected) {
            if (line.level == level && line.text.find(substring) != std::string::npos) {
                ++found;
            }
        }
        return found;
    }

    const std::vector<Line>& lines() const { return collected; }

    // The texts of one level, in order.
    std::vector<std::string> texts(uint32_t level) const {
        std::vector<std::string> found;
        for (const Line& line : collected) {
            if (line.level == level) {
                found.push_back(line.text);
            }
        }
        return found;
    }
    void clear() { collected.clear(); }

    // Every line as "level: text", for assertion messages.
    std::string dump() const {
        std::string out;
        for (const Line& line : collected) {
            out += std::to_string(line.level) + ": " + line.text + "\n";
        }
        return out;
    }

  private:
    static TraceCapture*& current() {
        static TraceCapture* active = nullptr;
        return active;
    }

    static void hook(uint32_t level, const char* function, const char* file, int line, const char* text) {
        if (TraceCapture* capture = current()) {
            capture->collected.push_back(Line{level, function, file, line, text});
        }
    }

    TraceCapture* previous;
    std::vector<Line> collected;
};

}  // namespace Test
}  // namespace Sync

#endif
