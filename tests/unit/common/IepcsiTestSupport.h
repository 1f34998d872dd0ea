// Shared by the port-control client tests: messages written byte by byte (independently of the code
// under test), a controller with a port-control service handler on the in-process mailbox, and a
// recorder of the service handler's events.
#ifndef SYNC_TEST_IEPCSITESTSUPPORT_H
#define SYNC_TEST_IEPCSITESTSUPPORT_H

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "FakeTavi.h"
#include "TraceCapture.h"
#include "common_fwk_classes/iepcsi/GetEthPortSupportCfm.h"
#include "common_fwk_classes/iepcsi/ServiceHandler.h"
#include "control/BaseController.h"
#include "control/Dispatcher.h"
#include "eventHandling/Listener.h"
#include "tavi.h"

namespace Sync {
namespace Test {

// Message numbers as the server uses them.
namespace IepcsiNo {
constexpr uint32_t SERVER_UP_IND = 0x1B1041;
constexpr uint32_t SERVER_DOWN_IND = 0x1B1042;
constexpr uint32_t INIT_SERVICE_REQ = 0x1B1043;
constexpr uint32_t INIT_CFM = 0x1B1044;
constexpr uint32_t INIT_REJ = 0x1B1045;
constexpr uint32_t TERM_SERVICE_REQ = 0x1B1046;
constexpr uint32_t TERM_SERVICE_CFM = 0x1B1047;
constexpr uint32_t GET_ETH_PORT_SUPPORT_REQ = 0x1B1048;
constexpr uint32_t GET_ETH_PORT_SUPPORT_CFM = 0x1B1049;
constexpr uint32_t GET_ETH_PORT_SUPPORT_REJ = 0x1B104A;
constexpr uint32_t SUBSCRIBE_ETH_PORT_STATUS_REQ = 0x1B1050;
constexpr uint32_t SUBSCRIBE_ETH_PORT_STATUS_CFM = 0x1B1051;
constexpr uint32_t SUBSCRIBE_ETH_PORT_STATUS_REJ = 0x1B1052;
constexpr uint32_t UNSUBSCRIBE_ETH_PORT_STATUS_REQ = 0x1B1053;
constexpr uint32_t UNSUBSCRIBE_ETH_PORT_STATUS_CFM = 0x1B1054;
constexpr uint32_t ETH_PORT_STATUS_IND = 0x1B1055;
}  // namespace IepcsiNo

// A message under construction: zero-filled, msgno in host order at 0, words written big-endian.
class Bytes {
  public:
    Bytes(uint32_t msgno, size_t size) : bytes_(size, 0) { std::memcpy(bytes_.data(), &msgno, 4); }

    Bytes& be32(size_t offset, uint32_t value) {
        grow(offset + 4);
        bytes_[offset] = uint8_t(value >> 24);
        bytes_[offset + 1] = uint8_t(value >> 16);
        bytes_[offset + 2] = uint8_t(value >> 8);
        bytes_[offset + 3] = uint8_t(value);
        return *this;
    }
    // The header's two references.
    Bytes& refs(uint32_t procedureReference, uint32_t connectionReference) {
        return be32(4, procedureReference).be32(8, connectionReference);
    }
    // Raw characters, without adding a NUL.
    Bytes& chars(size_t offset, const std::string& text) {
        grow(offset + text.size());
        std::memcpy(bytes_.data() + offset, text.data(), text.size());
        return *this;
    }
    Bytes& raw(size_t offset, std::vector<uint8_t> data) {
        grow(offset + data.size());
        std::memcpy(bytes_.data() + offset, data.data(), data.size());
        return *this;
    }
    Bytes& resize(size_t size) {
        bytes_.resize(size, 0);
        return *this;
    }

    const std::vector<uint8_t>& get() const { return bytes_; }
    operator const std::vector<uint8_t>&() const { return bytes_; }

  private:
    void grow(size_t size) {
        if (bytes_.size() < size)
            bytes_.resize(size, 0);
    }

    std::vector<uint8_t> bytes_;
};

// One 48-byte port record of GET_ETH_PORT_SUPPORT_CFM written at its offset.
inline void putPortRecord(Bytes& message, size_t index, uint32_t role, uint32_t rhaiId,
                          std::vector<uint8_t> mac, const std::string& portName,
                          const std::string& interfaceName) {
    const size_t at = 16 + 48 * index;
    message.be32(at, role)
        .be32(at + 4, rhaiId)
        .raw(at + 8, mac)
        .chars(at + 14, portName)
        .chars(at + 30, interfaceName);
}

inline std::vector<uint8_t> portSupportCfm(
    uint32_t procedureReference, uint32_t connectionReference,
    const std::vector<std::pair<uint32_t, std::string>>& rolesAndNames) {
    Bytes message(IepcsiNo::GET_ETH_PORT_SUPPORT_CFM, 16 + 48 * rolesAndNames.size());
    message.refs(procedureReference, connectionReference)
        .be32(12, static_cast<uint32_t>(rolesAndNames.size()));
    for (size_t i = 0; i < rolesAndNames.size(); ++i)
        putPortRecord(message, i, rolesAndNames[i].first, 100 + static_cast<uint32_t>(i),
                      {2, 0, 0, 0, 0, uint8_t(i)}, rolesAndNames[i].second, "if" + std::to_string(i));
    return message;
}

// The captured lines of one level, in order.
inline std::vector<std::string> textsAt(const TraceCapture& traces, uint32_t level) {
    std::vector<std::string> result;
    for (const TraceCapture::Line& line : traces.lines())
        if (line.level == level)
            result.push_back(line.text);
    return result;
}

// The big-endian word at offset of a sent message; 0 past its end.
inline uint32_t be32Of(const FakeTavi::SentMessage& message, size_t offset) {
    if (offset + 4 > message.bytes.size())
        return 0;
    const uint8_t* b = message.bytes.data() + offset;
    return uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3];
}

inline std::vector<FakeTavi::SentMessage> sentWith(uint32_t msgno) {
    std::vector<FakeTavi::SentMessage> found;
    for (const FakeTavi::SentMessage& message : FakeTavi::sent())
        if (message.msgno() == msgno)
            found.push_back(message);
    return found;
}

// Just enough controller for a service handler: the own mailbox and a dispatcher.
class IepcsiTestController : public BaseController {
  public:
    IepcsiTestController() : BaseController("sync-lumov-control") {
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

// What the service handler's events let a listener see: the event's name and, read through the
// handler while the listeners run, the message behind it.
class IepcsiEventRecorder {
  public:
    struct Seen {
        std::string event;
        IEntity* source;
        uint32_t procedureReference;  // of the current primitive; 0xFFFFFFFF when there is none
        size_t portRecords;           // GET_ETH_PORT_SUPPORT_CFM only
    };

    explicit IepcsiEventRecorder(Iepcsi::ServiceHandler* handler)
        : initCfm(this, handler),
          portSupport(this, handler),
          subscribed(this, handler),
          status(this, handler),
          down(this, handler) {}

    std::vector<std::string> names() const {
        std::vector<std::string> result;
        for (const Seen& s : seen)
            result.push_back(s.event);
        return result;
    }

    std::vector<Seen> seen;

  private:
    template <class E>
    class Recorder : public Listener<E> {
      public:
        Recorder(IepcsiEventRecorder* owner, Iepcsi::ServiceHandler* handler)
            : owner(owner), handler(handler) {
            this->startListening();
        }
        void onEvent(E& event) override {
            BasePrimitive* current =
                handler->getClientIf() != nullptr ? handler->getClientIf()->getCurrentPrimitive() : nullptr;
            size_t records = 0;
            if (auto* cfm = dynamic_cast<Iepcsi::GetEthPortSupportCfm*>(current))
                records = cfm->getPortRecords().size();
            owner->seen.push_back(Seen{event.getName(), event.getSource(),
                                       current != nullptr ? current->getProcedureReference() : 0xFFFFFFFFu,
                                       records});
        }

      private:
        IepcsiEventRecorder* owner;
        Iepcsi::ServiceHandler* handler;
    };

    Recorder<Iepcsi::ServiceHandler::INIT_CFM_EVENT> initCfm;
    Recorder<Iepcsi::ServiceHandler::GET_ETH_PORT_SUPPORT_CFM_EVENT> portSupport;
    Recorder<Iepcsi::ServiceHandler::SUBSCRIBE_PORT_STATUS_CFM_EVENT> subscribed;
    Recorder<Iepcsi::ServiceHandler::ETH_PORT_STATUS_IND_EVENT> status;
    Recorder<Iepcsi::ServiceHandler::SERVER_DOWN_EVENT> down;
};

// A process with its own mailbox on the fake transport, a controller and the port-control service
// handler, initialised and attached as the daemon does it.
class IepcsiClientTest : public ::testing::Test {
  protected:
    static constexpr uint32_t HANDLER_ID = 4;
    static constexpr uint32_t SERVER = 0x3003;
    static constexpr uint32_t SERVER_CONNECTION = 0x770;
    static constexpr const char* SERVER_NAME = "iepcsi-server";

    void SetUp() override {
        FakeTavi::reset();
        ASSERT_EQ(0, tavi_init(1, 0, 0, 0, 0));
        ASSERT_NE(TAVI_NO_ID, tavi_create_mailbox("sync-lumov-control", 0));
        controller = std::make_unique<IepcsiTestController>();
        handler = new Iepcsi::ServiceHandler(HANDLER_ID, controller.get());
        controller->add(handler);
        handler->init();
        controller->getDispatcher()->attachInterfaces();
        events = std::make_unique<IepcsiEventRecorder>(handler);
    }

    void TearDown() override {
        events.reset();
        controller.reset();
        tavi_exit();
        FakeTavi::reset();
    }

    Iepcsi::ClientIf* client() { return handler->getClientIf(); }

    // Runs every waiting message through the dispatcher; returns how many were claimed.
    size_t deliverAll() {
        size_t claimed = 0;
        for (void* msg = tavi_receive(nullptr, 0, TAVI_ANY_SENDER); msg != nullptr;
             msg = tavi_receive(nullptr, 0, TAVI_ANY_SENDER)) {
            claimed += controller->getDispatcher()->dispatch(msg) ? 1 : 0;
            tavi_free(&msg);
        }
        return claimed;
    }

    size_t deliver(uint32_t sender, const std::vector<uint8_t>& bytes) {
        EXPECT_TRUE(FakeTavi::inject(sender, bytes));
        return deliverAll();
    }

    // The server appears and confirms the handshake; the client then asks for the port list.
    void connect(uint32_t server = SERVER) {
        ASSERT_EQ(1u, FakeTavi::fireLocate(SERVER_NAME, server));
        ASSERT_EQ(1u, deliverAll());
        ASSERT_EQ(1u, deliver(server, Bytes(IepcsiNo::INIT_CFM, 16).refs(1, SERVER_CONNECTION).be32(12, 1)));
        ASSERT_EQ(AbstractClientIf::INITIATED, client()->getState());
    }

    TraceCapture traces;
    std::unique_ptr<IepcsiTestController> controller;
    Iepcsi::ServiceHandler* handler = nullptr;
    std::unique_ptr<IepcsiEventRecorder> events;
};

}  // namespace Test
}  // namespace Sync

#endif
