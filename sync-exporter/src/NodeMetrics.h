#ifndef SYNC_EXPORTER_NODEMETRICS_H
#define SYNC_EXPORTER_NODEMETRICS_H

#include <array>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "Exposition.h"

namespace SyncExporter {

// The node's state as metrics, from what each source answered in one gather. Every family comes from
// one source: the daemon's decisions (REC, quality, peers, outputs) from its `info output --json`
// and `status --json`, the ports from sync-portd, the ESMC counters from sync-esmcd and the PTP
// grandmaster from sync-clockd. A source that did not answer, or whose answer is not what it should
// be, has sync_up 0 and no other series; a malformed answer is dropped whole with a warning. The ESMC
// series name the output's port as the daemon does (by the output's id), or as sync-portd does (by
// namespace and interface: a held output has no id); an output neither names has none.
//
// What went wrong is logged when it changes, not at every scrape.
class NodeMetrics {
  public:
    enum Source { DAEMON, ESMCD, PORTD, CLOCKD, SOURCE_COUNT };
    // What a source said, read as JSON as soon as it arrived (while the others are still asked).
    struct Answer {
        bool answered = false;
        std::vector<nlohmann::json> documents;  // the daemon's outputs, then its status; one otherwise
        std::string failure;  // why it did not answer, or why what it answered cannot be read
    };
    using Answers = std::array<Answer, SOURCE_COUNT>;

    // The answer of a source that sent these texts.
    static Answer read(const std::vector<std::string>& texts);
    // Reads one more text of a source into its answer.
    static void readMore(Answer& answer, const std::string& text);

    // The label value of sync_up, and the program, for log lines.
    static const char* label(Source source);
    static const char* program(Source source);

    Exposition metrics(const Answers& answers);

  private:
    // The source's outcome: logged when it differs from the last one.
    void report(Source source, const std::string& complaint);

    std::array<std::string, SOURCE_COUNT> complaints_;
    std::array<bool, SOURCE_COUNT> known_{};  // whether the source's state was said once
};

}  // namespace SyncExporter

#endif
