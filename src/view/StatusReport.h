// `synclumovcontrol status`: the daemon on one screen (the REC and its settled quality, the selection
// process mode and telecom standard option, each peer connected or not and since when, how many
// outputs and ports there are and in which state), as text for people or as JSON; and the same in one
// line, fit for systemd's STATUS=.
#ifndef SYNC_LUMOVCONTROL_STATUSREPORT_H
#define SYNC_LUMOVCONTROL_STATUSREPORT_H

#include <cstddef>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace Sync {
namespace LumovControl {

class Model;

class StatusReport {
  public:
    // Counts the model's outputs and ports once; the report is of that moment.
    explicit StatusReport(Model& model);

    nlohmann::ordered_json toJson() const;
    std::vector<std::string> lines() const;
    // "4 outputs (4 enabled), settled quality EPRTC, connected: port-control sync-control data-plane"
    std::string summaryLine() const;

  private:
    uint32_t recState_ = 0;
    uint32_t quality_ = 0;
    uint32_t mode_ = 0;
    uint32_t standard_ = 0;
    size_t outputs_ = 0;
    size_t outputsEnabled_ = 0;
    size_t ports_ = 0;
    size_t portsUnlocked_ = 0;
    size_t portsEnabled_ = 0;
};

}  // namespace LumovControl
}  // namespace Sync

#endif
