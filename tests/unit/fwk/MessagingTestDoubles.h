// Small concrete primitives, handlers and interfaces over the messaging framework, and a fake own
// mailbox to run them on. Shared by the framework's unit tests.
#ifndef SYNC_TEST_MESSAGINGTESTDOUBLES_H
#define SYNC_TEST_MESSAGINGTESTDOUBLES_H

#include <cstring>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "FakeTavi.h"
#include "TestController.h"
#include "WireBytes.h"
#include "control/AbstractClientIf.h"
#include "control/AbstractServerIf.h"
#include "control/AbstractServiceClient.h"
#include "control/BasePrimitive.h"
#include "control/MessageHandler.h"
#include "tavi.h"
#include "trace/TraceHooks.h"

namespace Sync {
namespace Test {

// A fixed layout: the header and, when the size leaves room, one big-endian value at 12.
class TestPrimitive : public BasePrimitive {
  public:
    TestPrimitive(uint32_t kind, uint32_t msgno, uint32_t size = 16, const char* name = "TEST_MSG")
        : BasePrimitive(kind, msgno, name, size) {}

    void* constructMessage() override {
        void* msg = allocMessage();
        if (msg != nullptr && getMessageSize() >= 16)
            putU32(msg, PAYLOAD_OFFSET, value);
        return msg;
    }
    void fetchPrimitive(void* msg) override {
        if (getMessageSize() >= HEADER_SIZE)
            readHeader(msg);
        if (getMessageSize() >= 16)
            value = getU32(msg, PAYLOAD_OFFSET);
    }

    uint32_t value = 0;
};

// Records every call; an optional probe runs while the handler runs.
class RecordingHandler : public MessageHandler {
  public:
    struct Call {
        BasePrimitive* primitive;
        uint32_t senderPid;
        int order;
    };

    explicit RecordingHandler(std::vector<Call>* calls, int order = 0, bool* deleted = nullptr)
        : calls(calls), order(order), deleted(deleted) {}
    ~RecordingHandler() override {
        if (deleted != nullptr)
            *deleted = true;
    }
    void handle(BasePrimitive* primitive, uint32_t senderPid) override {
        calls->push_back(Call{primitive, senderPid, order});
        if (probe)
            probe();
    }

    std::function<void()> probe;

  private:
    std::vector<Call>* calls;
    int order;
    bool* deleted;
};

// A client interface whose concrete hook only records the kinds it is given.
class TestClientIf : public AbstractClientIf {
  public:
    explicit TestClientIf(uint32_t ownPid, const std::string& service = "test-service")
        : AbstractClientIf(service, ownPid, 1, 2, 3) {}

    std::string getDomain() const override { return "sync"; }
    void handleServicePrimitive(BasePrimitive* primitive) override {
        hooked.push_back(primitive->getPrimitiveId());
    }
    void addMsgHandlers(BaseServiceHandler*) override {}

    using AbstractClientIf::setState;

    std::vector<uint32_t> hooked;
};

// A server interface with plain client records; it can be told to refuse new records.
class TestServerIf : public AbstractServerIf {
  public:
    struct Deletion {
        uint32_t clientPid;
        uint32_t reason;
    };

    TestServerIf(const std::vector<uint32_t>& revisions, uint32_t ownPid, uint32_t maxClients)
        : AbstractServerIf(static_cast<uint32_t>(revisions.size()), revisions.data(), ownPid, maxClients) {}

    AbstractServiceClient* newClient(uint32_t selectedPv, uint32_t clientPid, uint32_t word1,
                                     uint32_t word2) override {
        return refuseClients ? nullptr : new AbstractServiceClient(selectedPv, clientPid, word1, word2);
    }
    void deleteClient(AbstractServiceClient* client, uint32_t reason) override {
        deletions.push_back(Deletion{client->getClientPid(), reason});
        delete client;
    }
    AbstractServiceClient* getClient() override {
        return getClients().empty() ? nullptr : getClients().back();
    }

    using AbstractServerIf::setState;

    bool refuseClients = false;
    std::vector<Deletion> deletions;
};

// A message as it travels: msgno in host order, then big-endian words.
inline std::vector<uint8_t> wireMessage(uint32_t msgno, std::initializer_list<uint32_t> words) {
    Bytes bytes(msgno, 4 + 4 * words.size());
    size_t offset = 4;
    for (uint32_t word : words)
        bytes.be32(offset, word), offset += 4;
    return bytes;
}

// A name-service message: subscription id (and tag) in host order.
inline std::vector<uint8_t> nameServiceMessage(uint32_t msgno, uint32_t subscriptionId, uint64_t tag = 0) {
    Bytes bytes(msgno, 8);
    bytes.raw(4, &subscriptionId, 4);
    return msgno == 0x01900000u ? bytes.raw(8, &tag, 8) : bytes;
}

inline void quietSyslog(int, const char*, ...) {}

// The process's own mailbox on the fake transport, fresh for each test; ERROR and WARNING lines stay
// out of the machine's syslog.
class FakeMailbox {
  public:
    static constexpr uint32_t OWN_ID = 0x1001;  // the id the fake transport gives a mailbox

    FakeMailbox() : previousSyslog(setTraceSyslog(&quietSyslog)) { openFakeMailbox(); }
    ~FakeMailbox() {
        FakeTavi::reset();
        setTraceSyslog(previousSyslog);
    }
    FakeMailbox(const FakeMailbox&) = delete;
    FakeMailbox& operator=(const FakeMailbox&) = delete;

    // Receives every waiting message and offers each to offer(msg); the last answer (false if none).
    bool pump(const std::function<bool(void*)>& offer) {
        bool answer = false;
        while (void* msg = tavi_receive(nullptr, 0, TAVI_ANY_SENDER)) {
            answer = offer(msg);
            tavi_free(&msg);
        }
        return answer;
    }
    bool deliver(uint32_t sender, const std::vector<uint8_t>& bytes,
                 const std::function<bool(void*)>& offer) {
        FakeTavi::inject(sender, bytes);
        return pump(offer);
    }

  private:
    TraceSyslog previousSyslog;
};

}  // namespace Test
}  // namespace Sync

#endif
