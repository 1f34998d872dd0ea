#ifndef SYNC_EXPORTER_EXPOSITION_H
#define SYNC_EXPORTER_EXPOSITION_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace SyncExporter {

// The metrics of Metrics.def, by their ID.
enum class Metric {
#define SYNC_METRIC(id, name, type, labels, help) id,
#include "Metrics.def"
#undef SYNC_METRIC
};

// Samples in Prometheus' text format (version 0.0.4), written family by family in the order of
// Metrics.def, each family with its HELP and TYPE lines; a family without samples is left out.
// Label values are escaped, and bytes that are not UTF-8 become U+FFFD, so whatever a peer names a
// port cannot break a scrape. Each series is added once: its writer makes sure.
class Exposition {
  public:
    static constexpr const char* CONTENT_TYPE = "text/plain; version=0.0.4; charset=utf-8";

    Exposition();

    // One sample; the label values in the order Metrics.def names the labels.
    void add(Metric metric, const std::vector<std::string>& labels, uint64_t value);
    // Takes every sample of `other` (whose families no sample here belongs to).
    void append(Exposition&& other);
    size_t samples() const;
    std::string text() const;

    // The metric's name and label names, as Metrics.def gives them.
    static const char* name(Metric metric);
    static const std::vector<std::string>& labelNames(Metric metric);

  private:
    struct Family {
        std::string lines;
        size_t samples = 0;
    };
    std::vector<Family> families_;
};

}  // namespace SyncExporter

#endif
