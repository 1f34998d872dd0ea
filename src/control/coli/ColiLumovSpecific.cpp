#include "control/coli/ColiLumovSpecific.h"

#include <malloc.h>

#include <string_view>
#include <utility>

#include "control/modelif/ModelHandler.h"
#include "utilities/coli_common.h"
#include "view/InfoDocument.h"
#include "view/StatusReport.h"

namespace Sync {
namespace LumovControl {

namespace {

const char* const JSON = "--json";

bool isSelection(const std::string& word) {
    return word == "feature" || word == "output" || word == "ethernet" || word == "all";
}

}  // namespace

ColiLumovSpecific::ColiLumovSpecific(uint32_t id, BaseController* controller, ModelHandler* modelHandler)
    : Coli::ServiceHandler(id, controller, commandText()), modelHandler_(modelHandler) {}

Coli::CommandText ColiLumovSpecific::commandText() {
    return Coli::CommandText{"synclumovcontrol",
                             "synclumovcontrol info [ feature | output | ethernet | all ]",
                             "Print feature, SyncLumovOutput, LumovernetPort"};
}

bool ColiLumovSpecific::answerBeyondInfo(const std::vector<std::string>& args) {
    if (modelHandler_ == nullptr || args.empty() || args[0] != getCommand().name)
        return false;
    if (args.size() == 4 && args[1] == "info" && isSelection(args[2]) && args[3] == JSON) {
        trimAfterAnswer_ = answer(InfoDocument::build(modelHandler_->myModel(), args[2])) >= TRIM_FROM_BYTES;
        return true;
    }
    if (args.size() == 3 && args[1] == "status" && args[2] == JSON) {
        answer(StatusReport(modelHandler_->myModel()).toJson());
        return true;
    }
    if (args.size() == 2 && args[1] == "status") {
        for (const std::string& line : StatusReport(modelHandler_->myModel()).lines())
            coli_common_add_display_line(line);
        return true;
    }
    return false;
}

size_t ColiLumovSpecific::answer(const nlohmann::ordered_json& document) {
    // Texts from peers may hold anything: bytes that are no UTF-8 are replaced, never thrown at.
    const std::string text = document.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
    for (size_t start = 0; start <= text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        coli_common_add_display_line(std::string_view(text).substr(start, end - start));
        start = end + 1;
    }
    return text.size();
}

void ColiLumovSpecific::answerSent() {
    if (std::exchange(trimAfterAnswer_, false))
        malloc_trim(0);
}

}  // namespace LumovControl
}  // namespace Sync
