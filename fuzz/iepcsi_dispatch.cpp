// Feeds arbitrary bytes to the port-control client as messages from its server.
//
// Input: one selector byte, then the message after its number. The selector's low four bits pick the
// message number among the interface's sixteen; bit 0x80 stops the handshake half-way (the client
// waits for INIT_CFM), otherwise it is complete; bit 0x40 makes the message come from a mailbox that
// is not the server's. A port subscribes before the message arrives, and listeners read whatever the
// message made of the primitives, so the sanitizers see every byte that is touched.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "FakeTavi.h"
#include "common_fwk_classes/iepcsi/GetEthPortSupportCfm.h"
#include "common_fwk_classes/iepcsi/PortStatusInd.h"
#include "common_fwk_classes/iepcsi/ServiceEntity.h"
#include "common_fwk_classes/iepcsi/ServiceHandler.h"
#include "common_fwk_classes/iepcsi/SubscribeEthPortStatusCfm.h"
#include "control/BaseController.h"
#include "control/Dispatcher.h"
#include "eventHandling/Listener.h"
#include "tavi.h"
#include "trace/TraceHooks.h"

namespace {

using namespace Sync;

constexpr uint32_t SERVER = 0x3003;
constexpr uint32_t STRANGER = 0x5005;
constexpr uint32_t NUMBERS[16] = {0x1B1041, 0x1B1042, 0x1B1043, 0x1B1044, 0x1B1045, 0x1B1046,
                                  0x1B1047, 0x1B1048, 0x1B1049, 0x1B104A, 0x1B1050, 0x1B1051,
                                  0x1B1052, 0x1B1053, 0x1B1054, 0x1B1055};

class FuzzController : public BaseController {
  public:
    FuzzController() : BaseController("sync-lumov-control") {
        ownIdentity = FakeTavi::ownId();
        dispatcher = new Dispatcher();
    }
    void init() override {}
    void run() override {}
    void createOwnIdentity() override {}
    void publishYourSelf() override {}
    void createServiceHandlers() override {}
    void add(BaseServiceHandler* handler) { addServiceHandler(handler); }
};

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

void deliverAll(Dispatcher* dispatcher) {
    for (void* msg = tavi_receive(nullptr, 0, TAVI_ANY_SENDER); msg != nullptr;
         msg = tavi_receive(nullptr, 0, TAVI_ANY_SENDER)) {
        dispatcher->dispatch(msg);
        tavi_free(&msg);
    }
}

void inject(Dispatcher* dispatcher, uint32_t sender, const std::vector<uint8_t>& bytes) {
    FakeTavi::inject(sender, bytes);
    deliverAll(dispatcher);
}

std::vector<uint8_t> initCfm() {
    std::vector<uint8_t> bytes(16, 0);
    const uint32_t msgno = 0x1B1044;
    std::memcpy(bytes.data(), &msgno, 4);
    bytes[7] = 1;     // procedureReference 1
    bytes[10] = 0x7;  // connectionReference 0x770
    bytes[11] = 0x70;
    bytes[15] = 1;  // pv_selected 1
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    // Every trace is formatted (into nothing), so fuzzed texts go through the format strings too.
    setTraceCaptureHook(&discardTrace);
    setTraceSyslog(&discardSyslog);
    const uint8_t selector = data[0];

    FakeTavi::reset();
    tavi_init(1, 0, 0, 0, 0);
    tavi_create_mailbox("sync-lumov-control", 0);
    {
        FuzzController controller;
        auto* handler = new Iepcsi::ServiceHandler(4, &controller);
        controller.add(handler);
        handler->init();
        controller.getDispatcher()->attachInterfaces();
        Port port;
        Reader reader(handler, &port);

        FakeTavi::fireLocate("iepcsi-server", SERVER);
        deliverAll(controller.getDispatcher());
        if ((selector & 0x80) == 0) {
            inject(controller.getDispatcher(), SERVER, initCfm());
            port.subscribeToServer();
        }

        std::vector<uint8_t> message(4 + size - 1);
        std::memcpy(message.data(), &NUMBERS[selector & 0x0F], 4);
        if (size > 1)
            std::memcpy(message.data() + 4, data + 1, size - 1);
        inject(controller.getDispatcher(), (selector & 0x40) != 0 ? STRANGER : SERVER, message);

        port.unsubscribeFromServer();
        FakeTavi::fireMonitor(SERVER);
        deliverAll(controller.getDispatcher());
    }
    tavi_exit();
    FakeTavi::reset();
    return 0;
}
