#include "common_fwk_classes/coli/SyncColiReqMsgHandler.h"

#include <ctime>
#include <vector>

#include "Macros.h"
#include "common_fwk_classes/coli/ServiceHandler.h"
#include "common_fwk_classes/coli/SyncColiReq.h"
#include "utilities/coli_common.h"

namespace Sync {
namespace Coli {

namespace {

constexpr size_t EXPECTED_ARGUMENTS = 3;
const char* const SUBCOMMAND = "info";
const char* const ALL = "all";

// The selections in the order their printouts appear; "all" asks for every one of them.
struct Selection {
    const char* word;
    uint32_t printType;
};
const Selection SELECTIONS[] = {
    {"feature", ServiceHandler::PRINT_FEATURE_INFO},
    {"output", ServiceHandler::PRINT_OUTPUTS},
    {"ethernet", ServiceHandler::PRINT_ETHERNET_PORTS},
};

std::string localTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char text[32] = "";
    if (localtime_r(&now, &local) != nullptr)
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

}  // namespace

SyncColiReqMsgHandler::SyncColiReqMsgHandler(ServiceHandler* serviceHandler)
    : serviceHandler(serviceHandler) {}

void SyncColiReqMsgHandler::handle(BasePrimitive* primitive, uint32_t senderPid) {
    TRACE_ENTER("prim: %p (SyncColiReq), senderPid: %u", static_cast<void*>(primitive), senderPid);
    const SyncColiReq* request = dynamic_cast<const SyncColiReq*>(primitive);
    if (request == nullptr) {
        TRACE_ERROR("FAILED to cast prim");
        TRACE_RETURN("%s", "");
        return;
    }
    // A copy: the printouts run while the primitive is still the interface's current one.
    const std::vector<std::string> args = request->getArguments();
    const CommandText& command = serviceHandler->getCommand();
    const std::string usage = command.usage();
    if (serviceHandler->answerBeyondInfo(args)) {
        coli_common_send_coli_rsp(senderPid);
        serviceHandler->answerSent();
        TRACE_RETURN("%s", "");
        return;
    }
    if (args.size() != EXPECTED_ARGUMENTS) {
        COLII("Incorrect number of arguments: %zu\n\n%s", args.size(), usage.c_str());
    } else if (args[0] != command.name) {
        COLII("Incorrect cmd: %s \n\n%s", args[0].c_str(), usage.c_str());
    } else if (args[1] != SUBCOMMAND) {
        COLII("Incorrect arg: %s \n\n%s", args[1].c_str(), usage.c_str());
    } else {
        if (!requestPrintouts(args[2]))
            COLII("Incorrect arg: %s \n\n%s", args[2].c_str(), usage.c_str());
        COLII("completed at %s", localTimeNow().c_str());
    }
    coli_common_send_coli_rsp(senderPid);
    TRACE_RETURN("%s", "");
}

bool SyncColiReqMsgHandler::requestPrintouts(const std::string& selection) {
    bool known = false;
    for (const Selection& candidate : SELECTIONS) {
        if (selection == candidate.word || selection == ALL) {
            known = true;
            serviceHandler->sendEvent(ServiceHandler::PRINT_COLI_EVENT(candidate.printType));
        }
    }
    return known;
}

}  // namespace Coli
}  // namespace Sync
