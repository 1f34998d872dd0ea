// Feeds arbitrary bytes to the port-control client as messages from its server.
//
// Input: one selector byte, then the message after its number. The selector's low four bits pick the
// message number among the interface's sixteen; bit 0x80 stops the handshake half-way (the client
// waits for INIT_CFM), otherwise it is complete; bit 0x40 makes the message come from a mailbox that
// is not the server's. A port subscribes before the message arrives, and listeners read whatever the
// message made of the primitives, so the sanitizers see every byte that is touched.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "FakeTavi.h"
#include "TestController.h"
#include "WireBytes.h"
#include "common_fwk_classes/iepcsi/GetEthPortSupportCfm.h"
#include "common_fwk_classes/iepcsi/PortStatusInd.h"
#include "common_fwk_classes/iepcsi/ServiceEntity.h"
#include "common_fwk_classes/iepcsi/ServiceHandler.h"
#include "common_fwk_classes/iepcsi/SubscribeEthPortStatusCfm.h"
#include "eventHandling/Listener.h"
#include "tavi.h"
#include "trace/TraceHooks.h"

namespace {

using namespace Sync;
using Test::Bytes;
using Test::TestController;

constexpr uint32_t SERVER = 0x3003;
constexpr uint32_t STRANGER = 0x5005;
constexpr uint32_t NUMBERS[16] = {0x1B1041, 0x1B1042, 0x1B1043, 0x1B1044, 0x1B1045, 0x1B1046,
                                  0x1B1047, 0x1B1048, 0x1B1049, 0x1B104A, 0x1B1050, 0x1B1051,
                                  0x1B1052, 0x1B1053, 0x1B1054, 0x1B1055};

class Port : public Iepcsi::ServiceEntity {
  public:
    uint32_t getServiceEntityId() const override { return 7; }
    std::string getServicePortName() const override { return "TN_A"; }
    uint32_t getServicePortRole() const override { return 4; }
};

// Reads what a model handler would read, and acts as it would on the port.
size_t touched = 0;

class Reader : public Listener<Iepcsi::ServiceHandler::GET_ETH_PORT_SUPPORT_CFM_EVENT>,
               public Listener<Iepcsi::ServiceHandler::ETH_PORT_STATUS_IND_EVENT>,
               public Listener<Iepcsi::ServiceHandler::SUBSCRIBE_PORT_STATUS_CFM_EVENT> {
  public:
    Reader(Iepcsi::ServiceHandler* handler, Port* port) : handler(handler), port(port) {
        Listener<Iepcsi::ServiceHandler::GET_ETH_PORT_SUPPORT_CFM_EVENT>::startListening();
        Listener<Iepcsi::ServiceHandler::ETH_PORT_STATUS_IND_EVENT>::startListening();
        Listener<Iepcsi::ServiceHandler::SUBSCRIBE_PORT_STATUS_CFM_EVENT>::startListening();
    }
    void onEvent(Iepcsi::ServiceHandler::GET_ETH_PORT_SUPPORT_CFM_EVENT&) override {
        for (const auto& record :
             handler->currentPrimitiveAs<Iepcsi::GetEthPortSupportCfm>()->getPortRecords())
            touched += record.portName.size() + record.interfaceName.size() + record.macAddress.size();
    }
    void onEvent(Iepcsi::ServiceHandler::ETH_PORT_STATUS_IND_EVENT&) override {
        const auto& status = handler->currentPrimitiveAs<Iepcsi::PortStatusInd>()->getPortStatus();
        touched += status.portName.size() + status.networkNamespace.size() + status.availabilityStatus.size();
    }
    void onEvent(Iepcsi::ServiceHandler::SUBSCRIBE_PORT_STATUS_CFM_EVENT&) override {
        auto* cfm = handler->currentPrimitiveAs<Iepcsi::SubscribeEthPortStatusCfm>();
        handler->storeSubscriptionRef(cfm->getProcedureReference(), cfm->getSubscriptionReference());
        port->raiseEvent(Iepcsi::ServiceEntity::IEPCSIENTITY_SUBSCRIBED_EVENT());
    }

  private:
    Iepcsi::ServiceHandler* handler;
    Port* port;
};

void discardTrace(uint32_t, const char*, const char*, int, const char*) {}
void discardSyslog(int, const char*, ...) {}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    // Every trace is formatted (into nothing), so fuzzed texts go through the format strings too.
    setTraceCaptureHook(&discardTrace);
    setTraceSyslog(&discardSyslog);
    const uint8_t selector = data[0];

    Test::openFakeMailbox();
    {
        TestController controller;
        auto* handler = controller.add(new Iepcsi::ServiceHandler(4, &controller));
        handler->init();
        controller.getDispatcher()->attachInterfaces();
        Port port;
        Reader reader(handler, &port);

        FakeTavi::fireLocate("iepcsi-server", SERVER);
        controller.deliverAll();
        if ((selector & 0x80) == 0) {
            // procedureReference 1, connectionReference 0x770, pv_selected 1.
            controller.deliver(SERVER, Bytes(0x1B1044, 16).refs(1, 0x770).be32(12, 1));
            port.subscribeToServer();
        }

        controller.deliver((selector & 0x40) != 0 ? STRANGER : SERVER,
                           Test::wire(NUMBERS[selector & 0x0F], data + 1, size - 1));

        port.unsubscribeFromServer();
        FakeTavi::fireMonitor(SERVER);
        controller.deliverAll();
    }
    tavi_exit();
    FakeTavi::reset();
    return 0;
}
