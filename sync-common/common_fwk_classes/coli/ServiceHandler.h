#ifndef SYNC_COLI_SERVICEHANDLER_H
#define SYNC_COLI_SERVICEHANDLER_H

#include <cstdint>
#include <string>
#include <vector>

#include "common_fwk_classes/coli/CommandText.h"
#include "eventHandling/BaseServiceHandler.h"
#include "eventHandling/Event.h"

namespace Sync {

class BaseController;

namespace Coli {

// Connects the command transport to the framework: registers the daemon's command with the command
// server whenever the server (re)appears, and turns each command request into print requests
// (PRINT_COLI_EVENT) that the model handler answers line by line through COLII.
class ServiceHandler : public BaseServiceHandler {
  public:
    // What a print request asks for; carried by PRINT_COLI_EVENT.
    enum PrintType : uint32_t {
        PRINT_FEATURE_INFO = 1,
        PRINT_INPUTS = 2,
        PRINT_OUTPUTS = 3,
        PRINT_ETHERNET_PORTS = 4,
    };

    struct PRINT_COLI_EVENT : Event<PRINT_COLI_EVENT> {
        explicit PRINT_COLI_EVENT(uint32_t printType = 0) : printType(printType) {}
        uint32_t printType;
    };

    ServiceHandler(uint32_t id, BaseController* controller, CommandText command);
    ~ServiceHandler() override;

    // Creates the interface, adds it to the dispatcher under getId() and binds the message handlers.
    void init() override;

    // Sends the command's name, synopsis and description to the command server senderPid.
    void registerColiCommands(uint32_t senderPid);

    const CommandText& getCommand() const { return command_; }

    // A daemon's answers beyond `info [ feature | output | ethernet | all ]`: given the arguments of a
    // request, writes the answer's lines and returns true, or returns false to leave the request to
    // the info command (whose error answers stay as they are). The default answers nothing.
    virtual bool answerBeyondInfo(const std::vector<std::string>& args);
    // Runs once an answer has left, for the work that need not make its requester wait.
    virtual void answerSent() {}

  private:
    CommandText command_;
};

}  // namespace Coli
}  // namespace Sync

#endif
