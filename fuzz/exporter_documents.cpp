// Feeds arbitrary answers of the sources to sync-exporter's metrics and judges the exposition as a
// scraper would: NUL bytes split the input into the daemon's outputs and status, then sync-esmcd's,
// sync-portd's and sync-clockd's documents (a missing one did not answer). Whatever they say, the
// text must be UTF-8, every sample line a name, well-quoted labels and a number, and no series twice;
// a violation aborts.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "Log.h"
#include "NodeMetrics.h"

namespace {

using SyncExporter::NodeMetrics;

void require(bool holds) {
    if (!holds)
        std::abort();
}

bool utf8(const std::string& text) {
    for (size_t at = 0; at < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[at]);
        const size_t length = lead < 0x80                   ? 1
                              : lead >= 0xC2 && lead < 0xE0 ? 2
                              : lead >= 0xE0 && lead < 0xF0 ? 3
                              : lead >= 0xF0 && lead < 0xF5 ? 4
                                                            : 0;
        if (length == 0 || at + length > text.size())
            return false;
        uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (size_t i = 1; i < length; ++i) {
            const unsigned char next = static_cast<unsigned char>(text[at + i]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = code << 6 | (next & 0x3F);
        }
        const uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < least[length] || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000))
            return false;
        at += length;
    }
    return true;
}

// One sample line: name{label="value",...} number; its series (all but the number).
std::string series(const std::string& line) {
    size_t at = 0;
    while (at < line.size() && (std::islower(static_cast<unsigned char>(line[at])) || line[at] == '_'))
        ++at;
    require(at > 0);
    if (at < line.size() && line[at] == '{') {
        do {
            ++at;
            while (at < line.size() &&
                   (std::islower(static_cast<unsigned char>(line[at])) || line[at] == '_'))
                ++at;
            require(line.compare(at, 2, "=\"") == 0);
            for (at += 2; at < line.size() && line[at] != '"'; ++at) {
                if (line[at] == '\\') {
                    ++at;
                    require(at < line.size() && (line[at] == '\\' || line[at] == '"' || line[at] == 'n'));
                }
            }
            require(at < line.size());
            ++at;
        } while (at < line.size() && line[at] == ',');
        require(at < line.size() && line[at] == '}');
        ++at;
    }
    require(at < line.size() && line[at] == ' ');
    require(line.find_first_not_of("0123456789", at + 1) == std::string::npos && at + 1 < line.size());
    return line.substr(0, at);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool quiet = (SyncSys::Log::silence(), true);
    (void)quiet;
    std::vector<std::string> parts(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            parts.emplace_back();
        else
            parts.back() += static_cast<char>(data[i]);
    }
    NodeMetrics::Answers answers;
    if (parts.size() >= 2)
        answers[NodeMetrics::DAEMON] = NodeMetrics::read({parts[0], parts[1]});
    const NodeMetrics::Source programs[] = {NodeMetrics::ESMCD, NodeMetrics::PORTD, NodeMetrics::CLOCKD};
    for (size_t i = 0; i < 3; ++i)
        if (parts.size() > 2 + i)
            answers[programs[i]] = NodeMetrics::read({parts[2 + i]});

    NodeMetrics metrics;
    const std::string text = metrics.metrics(answers).text();
    require(utf8(text));
    std::set<std::string> seen;
    for (size_t at = 0; at < text.size();) {
        const size_t end = text.find('\n', at);
        require(end != std::string::npos);
        const std::string line = text.substr(at, end - at);
        if (line.compare(0, 2, "# ") != 0)
            require(seen.insert(series(line)).second);
        at = end + 1;
    }
    return 0;
}
