// Feeds arbitrary data-plane client messages to the daemon's data-plane server on the in-process
// transport, with a client already connected. The input is a sequence of records: a selector byte,
// a 16-bit little-endian length and that many bytes, the message after its number. The selector's low
// five bits pick the number from the protocol's block, bit 0x40 sends from a stranger's mailbox instead
// of the client's, and bit 0x80 stamps the connectionReference the server gave the client over bytes
// 8-11, so that service messages get past the attribution check.
//
// One server and its readers serve the whole run; every input ends with each client gone, and the
// transport starts afresh, so each input meets the server as it was when first built.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "FakeTavi.h"
#include "TestController.h"
#include "WireBytes.h"
#include "control/secli/ServerIf.h"
#include "control/secli/ServiceHandler.h"
#include "control/secli/prim/InputAssistDataFwdPrim.h"
#include "control/secli/prim/InputReceivedSsmFwdPrim.h"
#include "control/secli/prim/OutputMacAddressFwdPrim.h"
#include "eventHandling/Listener.h"
#include "tavi.h"

namespace {

using Sync::EthCentral::Secli::ServerIf;
using Sync::EthCentral::Secli::ServiceHandler;
using Sync::Test::TestController;

constexpr uint32_t CLIENT = 0x5000;
constexpr uint32_t STRANGER = 0x6000;
constexpr uint32_t HANDLER_ID = 2;
constexpr uint32_t MSGNO_BASE = 0x94000;
constexpr uint32_t MSGNO_COUNT = 32;  // the block 0x94000-0x9401A and a few numbers past it

// Stands in for the model: reads the received primitive the way its listeners do.
template <class E, class Prim>
class Reader : public Sync::Listener<E> {
  public:
    explicit Reader(ServiceHandler& handler) : handler_(handler) { this->startListening(); }
    void onEvent(E&) override {
        const Prim* primitive = dynamic_cast<const Prim*>(handler_.getServerIf()->getCurrentPrimitive());
        if (primitive == nullptr)
            __builtin_trap();
        sink_ += primitive->getProcedureReference();
        read(*primitive);
    }

  private:
    void read(const Sync::EthCentral::Secli::OutputMacAddressFwdPrim& p) {
        for (size_t i = 0; i < Sync::EthCentral::Secli::OutputMacAddressFwdPrim::MAC_ADDRESS_BYTES; ++i)
            sink_ += p.getMacAddress()[i];
    }
    void read(const Sync::EthCentral::Secli::InputReceivedSsmFwdPrim& p) {
        sink_ += p.getSyncEMasterId() + p.getReceivedQl().enhancedSsmCode + p.getNumberCascadedEec();
    }
    void read(const Sync::EthCentral::Secli::InputAssistDataFwdPrim& p) {
        sink_ += static_cast<uint64_t>(p.getTimeOffset_c()) + p.getIsValidTimer();
    }

    ServiceHandler& handler_;
    uint64_t sink_ = 0;
};

std::vector<uint8_t> connectionRequest() {
    const uint8_t request[24] = {0x02, 0x40, 0x09, 0x00, 0, 0, 0, 1, 0, 0, 0, 2,
                                 0,    0,    0,    1,    0, 0, 0, 1, 0, 0, 0, 1};
    return std::vector<uint8_t>(request, request + sizeof request);
}

struct Daemon {
    Daemon() : handler(controller.add(new ServiceHandler(HANDLER_ID, &controller))) {
        handler->init();
        controller.getDispatcher()->attachInterfaces();
    }

    // First: the controller takes the id of the mailbox that exists when it is built.
    const bool transportReady = Sync::Test::openFakeMailbox();
    TestController controller;
    ServiceHandler* handler;
    Reader<ServiceHandler::SECLI_OUTPUT_MAC_ADDRESS_FWD_EVENT,
           Sync::EthCentral::Secli::OutputMacAddressFwdPrim>
        macReader{*handler};
    Reader<ServiceHandler::SECLI_INPUT_RECEIVED_SSM_FWD_EVENT,
           Sync::EthCentral::Secli::InputReceivedSsmFwdPrim>
        ssmReader{*handler};
    Reader<ServiceHandler::SECLI_INPUT_ASSIST_DATA_FWD_EVENT, Sync::EthCentral::Secli::InputAssistDataFwdPrim>
        assistReader{*handler};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Daemon daemon;
    Sync::Test::openFakeMailbox();
    TestController& controller = daemon.controller;
    ServiceHandler* handler = daemon.handler;

    controller.deliver(CLIENT, connectionRequest());

    for (size_t at = 0; at + 3 <= size;) {
        const uint8_t selector = data[at];
        const size_t length = std::min<size_t>(data[at + 1] | data[at + 2] << 8, size - at - 3);
        at += 3;
        Sync::Test::Bytes message(MSGNO_BASE + (selector & (MSGNO_COUNT - 1)), 4);
        message.raw(4, data + at, length);
        at += length;
        ServerIf* serverIf = handler->getServerIf();
        if ((selector & 0x80) != 0 && message.size() >= 12 && serverIf->getClient() != nullptr) {
            message.be32(8, serverIf->getClient()->getOwnConnectionReference());
        }
        controller.deliver((selector & 0x40) != 0 ? STRANGER : CLIENT, message);
    }

    // Whatever the messages did, the client can still go and a new one come; then that one goes too,
    // which leaves the server without clients for the next input.
    FakeTavi::fireMonitor(CLIENT);
    controller.deliverAll();
    controller.deliver(STRANGER, connectionRequest());
    if (handler->getServerIf()->getClient() == nullptr)
        __builtin_trap();
    FakeTavi::fireMonitor(STRANGER);
    controller.deliverAll();
    if (!handler->getServerIf()->getClients().empty())
        __builtin_trap();
    return 0;
}
