#ifndef SYNC_COLI_SYNCCOLIREQMSGHANDLER_H
#define SYNC_COLI_SYNCCOLIREQMSGHANDLER_H

#include <cstdint>
#include <string>

#include "control/MessageHandler.h"

namespace Sync {
namespace Coli {

class ServiceHandler;

// Runs one `info [ feature | output | ethernet | all ]` command: checks its words, asks for the selected
// printouts with PRINT_COLI_EVENT (feature, outputs, ports, in that order), and sends the collected
// output to the requester. Every malformed command is answered with an error line and the usage text.
class SyncColiReqMsgHandler : public MessageHandler {
  public:
    explicit SyncColiReqMsgHandler(ServiceHandler* serviceHandler);
    void handle(BasePrimitive* primitive, uint32_t senderPid) override;

  private:
    // Raises the print requests the selection names; false when it names none.
    bool requestPrintouts(const std::string& selection);

    ServiceHandler* serviceHandler;
};

}  // namespace Coli
}  // namespace Sync

#endif
