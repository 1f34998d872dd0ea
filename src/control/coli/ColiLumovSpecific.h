#ifndef SYNC_LUMOVCONTROL_COLILUMOVSPECIFIC_H
#define SYNC_LUMOVCONTROL_COLILUMOVSPECIFIC_H

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "common_fwk_classes/coli/CommandText.h"
#include "common_fwk_classes/coli/ServiceHandler.h"

namespace Sync {

class BaseController;

namespace LumovControl {

class ModelHandler;

// The daemon's command service: the common command handling under the name "synclumovcontrol", and
// two answers beyond it for programs and for a quick look: `info SELECTION --json` and
// `status [--json]`.
class ColiLumovSpecific : public Coli::ServiceHandler {
  public:
    // modelHandler: whose model the JSON and status answers read.
    ColiLumovSpecific(uint32_t id, BaseController* controller, ModelHandler* modelHandler);

    // The texts registered with the command server and used in the daemon's answers.
    static Coli::CommandText commandText();

    bool answerBeyondInfo(const std::vector<std::string>& args) override;
    void answerSent() override;

  private:
    // The document, line by line, its lines never cut; returns its size in bytes.
    static size_t answer(const nlohmann::ordered_json& document);
    ModelHandler* modelHandler_;
    // A document of tens of thousands of ports takes hundreds of megabytes while it is built, which the
    // allocator would keep for the daemon's lifetime: they are given back once the answer has left.
    // Not for smaller ones, which the next answer reuses: at a thousand ports the trim took longer
    // than building the document.
    static constexpr size_t TRIM_FROM_BYTES = 1u << 20;
    bool trimAfterAnswer_ = false;
};

}  // namespace LumovControl
}  // namespace Sync

#endif
