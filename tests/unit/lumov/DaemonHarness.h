// The whole daemon in-process: the controller with all its service handlers on the fake transport,
// and the four peers played by the test, each writing its messages byte by byte (independently of the
// daemon's primitive classes) and reading what the daemon sent it.
#ifndef SYNC_TEST_DAEMONHARNESS_H
#define SYNC_TEST_DAEMONHARNESS_H

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "FakeTavi.h"
#include "Macros.h"
#include "TraceCapture.h"
#include "control/Controller.h"
#include "utilities/coli_common.h"

namespace Sync {
namespace Test {

// A message under construction: zero-filled, msgno in host order at 0.
class Wire {
  public:
    Wire(uint32_t msgno, size_t size) : bytes_(size, 0) { std::memcpy(bytes_.data(), &msgno, 4); }

    Wire& be32(size_t offset, uint32_t value) {
        return raw(offset, {uint8_t(value >> 24), uint8_t(value >> 16), uint8_t(value >> 8), uint8_t(value)});
    }
    Wire& be64(size_t offset, uint64_t value) {
        return be32(offset, uint32_t(value >> 32)).be32(offset + 4, uint32_t(value));
    }
    Wire& host32(size_t offset, uint32_t value) {
        grow(offset + 4);
        std::memcpy(bytes_.data() + offset, &value, 4);
        return *this;
    }
    // procedureReference and connectionReference.
    Wire& refs(uint32_t procedureReference, uint32_t connectionReference) {
        return be32(4, procedureReference).be32(8, connectionReference);
    }
    Wire& chars(size_t offset, const std::string& text) {
        return raw(offset, std::vector<uint8_t>(text.begin(), text.end()));
    }
    Wire& raw(size_t offset, const std::vector<uint8_t>& data) {
        grow(offset + data.size());
        std::memcpy(bytes_.data() + offset, data.data(), data.size());
        return *this;
    }

    const std::vector<uint8_t>& bytes() const { return bytes_; }
    operator const std::vector<uint8_t>&() const { return bytes_; }

  private:
    void grow(size_t size) {
        if (bytes_.size() < size) {
            bytes_.resize(size, 0);
        }
    }

    std::vector<uint8_t> bytes_;
};

inline uint32_t be32At(const std::vector<uint8_t>& bytes, size_t offset) {
    if (offset + 4 > bytes.size()) {
        return 0;
    }
    const uint8_t* b = bytes.data() + offset;
    return uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3];
}

// The message numbers the peers use.
namespace No {
constexpr uint32_t IEPCSI_INIT_SERVICE_REQ = 0x1B1043;
constexpr uint32_t IEPCSI_INIT_CFM = 0x1B1044;
constexpr uint32_t IEPCSI_GET_ETH_PORT_SUPPORT_REQ = 0x1B1048;
constexpr uint32_t IEPCSI_GET_ETH_PORT_SUPPORT_CFM = 0x1B1049;
constexpr uint32_t IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_REQ = 0x1B1050;
constexpr uint32_t IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_CFM = 0x1B1051;
constexpr uint32_t IEPCSI_ETH_PORT_STATUS_IND = 0x1B1055;
constexpr uint32_t SCI_CONNECTION_ESTABLISHMENT_REQ = 0x9B902;
constexpr uint32_t SCI_CONNECTION_ESTABLISHMENT_CFM = 0x9B903;
constexpr uint32_t SCI_SELECTED_REFERENCE_SUBSCRIBE_REQ = 0x9B911;
constexpr uint32_t SCI_SELECTED_REFERENCE_IND = 0x9B916;
constexpr uint32_t SCI_REC_DATA_SUBSCRIBE_REQ = 0x9B91D;
constexpr uint32_t SCI_REC_CREATE_IND = 0x9B922;
constexpr uint32_t SCI_REC_DELETE_IND = 0x9B923;
constexpr uint32_t SCI_REC_SELECTION_PROCESS_MODE_IND = 0x9B924;
constexpr uint32_t SCI_REC_CLOCK_SETTLED_QUALITY_IND = 0x9B925;
constexpr uint32_t SCI_TELECOM_STANDARD_SUBSCRIBE_REQ = 0x9B927;
constexpr uint32_t SCI_TELECOM_STANDARD_IND = 0x9B92C;
constexpr uint32_t SECLI_CONNECTION_ESTABLISHMENT_REQ = 0x94002;
constexpr uint32_t SECLI_CONNECTION_ESTABLISHMENT_CFM = 0x94003;
constexpr uint32_t SECLI_OUTPUT_CONFIG_CREATE_RREQ = 0x94010;
constexpr uint32_t SECLI_OUTPUT_CONFIG_CREATE_RCFM = 0x94011;
constexpr uint32_t SECLI_OUTPUT_CONFIG_CHANGE_RREQ = 0x94013;
constexpr uint32_t SECLI_OUTPUT_CONFIG_CHANGE_RCFM = 0x94014;
constexpr uint32_t SECLI_OUTPUT_CONFIG_REMOVE_RREQ = 0x94016;
constexpr uint32_t SECLI_OUTPUT_TRANSMIT_SSM_IND = 0x94018;
constexpr uint32_t SECLI_OUTPUT_ESMC_CONTROL_IND = 0x94019;
constexpr uint32_t SECLI_OUTPUT_MAC_ADDRESS_FWD = 0x9401A;
constexpr uint32_t SYNC_COLI_REQ = 0x9B604;
constexpr uint32_t SYNC_COLI_RSP = 0x9B606;
}  // namespace No

// One port record of the port support confirmation.
struct PortRecord {
    uint32_t role;
    uint32_t rhaiId;
    std::vector<uint8_t> mac;
    std::string portName;
    std::string interfaceName;
};

// The daemon's controller, with its service handlers open to inspection.
class InspectableController : public LumovControl::Controller {
  public:
    InspectableController() : Controller("sync-lumov-control") {}

    // The first service handler of class H, in id order; null when there is none.
    template <class H>
    H* handler() const {
        for (const auto& entry : serviceHandlers) {
            if (auto* found = dynamic_cast<H*>(entry.second)) {
                return found;
            }
        }
        return nullptr;
    }
};

class DaemonTest : public ::testing::Test {
  protected:
    static constexpr uint32_t IEPCSI = 0x3003;
    static constexpr uint32_t SCI = 0x5005;
    static constexpr uint32_t DATA_PLANE = 0x7007;
    static constexpr uint32_t COLI = 0x9009;
    static constexpr uint32_t IEPCSI_CONNECTION = 0x770;
    static constexpr uint32_t SCI_CONNECTION = 0x62;
    // The references the data-plane client puts into its connection request.
    static constexpr uint32_t DP_PROCEDURE = 41;
    static constexpr uint32_t DP_CONNECTION = 0xC11E47;
    // The output feature's client entity id towards the sync-control server.
    static constexpr uint32_t FEATURE_ENTITY = 1;

    void SetUp() override {
        FakeTavi::reset();
        coli_common_reset();
        controller = std::make_unique<InspectableController>();
        controller->init();
        pump();
    }

    void TearDown() override {
        controller.reset();
        coli_common_reset();
        FakeTavi::reset();
    }

    // Lets the daemon handle every waiting message, one per readiness as its loop does.
    void pump() {
        for (int guard = 0; FakeTavi::pending() > 0 && guard < 100000; ++guard) {
            controller->onRead();
        }
    }

    void deliver(uint32_t sender, const std::vector<uint8_t>& bytes) {
        ASSERT_TRUE(FakeTavi::inject(sender, bytes));
        pump();
    }

    // Messages the daemon sent to peer since the last take, oldest first.
    std::vector<std::vector<uint8_t>> takeSentTo(uint32_t peer) {
        std::vector<std::vector<uint8_t>> found;
        const auto& sent = FakeTavi::sent();
        for (size_t i = seen(peer); i < sent.size(); ++i) {
            if (sent[i].to == peer) {
                found.push_back(sent[i].bytes);
            }
        }
        seen(peer) = sent.size();
        return found;
    }

    static uint32_t msgnoOf(const std::vector<uint8_t>& bytes) {
        uint32_t msgno = 0;
        std::memcpy(&msgno, bytes.data(), bytes.size() < 4 ? bytes.size() : 4);
        return msgno;
    }

    static std::vector<uint32_t> msgnos(const std::vector<std::vector<uint8_t>>& messages) {
        std::vector<uint32_t> numbers;
        for (const auto& message : messages) {
            numbers.push_back(msgnoOf(message));
        }
        return numbers;
    }

    // --- port-control server -----------------------------------------------------------------------

    void iepcsiUp() {
        ASSERT_EQ(1u, FakeTavi::fireLocate("iepcsi-server", IEPCSI));
        pump();
        ASSERT_EQ(std::vector<uint32_t>{No::IEPCSI_INIT_SERVICE_REQ}, msgnos(takeSentTo(IEPCSI)));
        deliver(IEPCSI, Wire(No::IEPCSI_INIT_CFM, 16).refs(1, IEPCSI_CONNECTION).be32(12, 1));
    }

    static std::vector<uint8_t> portSupport(const std::vector<PortRecord>& records) {
        Wire message(No::IEPCSI_GET_ETH_PORT_SUPPORT_CFM, 16 + 48 * records.size());
        message.refs(1, IEPCSI_CONNECTION).be32(12, static_cast<uint32_t>(records.size()));
        for (size_t i = 0; i < records.size(); ++i) {
            const size_t at = 16 + 48 * i;
            message.be32(at, records[i].role)
                .be32(at + 4, records[i].rhaiId)
                .raw(at + 8, records[i].mac)
                .chars(at + 14, records[i].portName)
                .chars(at + 30, records[i].interfaceName);
        }
        return message;
    }

    void subscribed(uint32_t portId, uint32_t subscriptionReference) {
        deliver(IEPCSI, Wire(No::IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_CFM, 16)
                            .refs(portId, IEPCSI_CONNECTION)
                            .be32(12, subscriptionReference));
    }

    void portStatus(uint32_t portId, bool unlocked, bool enabled, const std::string& portName,
                    const std::string& networkNamespace) {
        deliver(IEPCSI, Wire(No::IEPCSI_ETH_PORT_STATUS_IND, 36 + networkNamespace.size() + 1)
                            .refs(portId, IEPCSI_CONNECTION)
                            .be32(12, unlocked ? 1 : 0)
                            .be32(16, enabled ? 1 : 0)
                            .chars(20, portName)
                            .chars(36, networkNamespace));
    }

    // --- sync-control server -----------------------------------------------------------------------

    void sciUp(uint32_t server = SCI) {
        FakeTavi::serviceUp("sci", "sync", server);
        pump();
        ASSERT_EQ(std::vector<uint32_t>{No::SCI_CONNECTION_ESTABLISHMENT_REQ}, msgnos(takeSentTo(server)));
        deliver(server,
                Wire(No::SCI_CONNECTION_ESTABLISHMENT_CFM, 16).refs(0x61, SCI_CONNECTION).be32(12, 1));
    }

    void sciIndication(uint32_t msgno, uint32_t sender = SCI) {
        deliver(sender, Wire(msgno, 16).refs(0x61, SCI_CONNECTION).be32(12, FEATURE_ENTITY));
    }

    void sciValue(uint32_t msgno, uint32_t value, uint32_t sender = SCI) {
        deliver(sender, Wire(msgno, 20).refs(0x61, SCI_CONNECTION).be32(12, FEATURE_ENTITY).be32(16, value));
    }

    // --- data-plane client -------------------------------------------------------------------------

    // Connects the client and returns the connectionReference the confirmation gave it.
    uint32_t dataPlaneUp(uint32_t client = DATA_PLANE) {
        deliver(client, Wire(No::SECLI_CONNECTION_ESTABLISHMENT_REQ, 24)
                            .refs(DP_PROCEDURE, DP_CONNECTION)
                            .be32(12, 1)
                            .be32(16, 1)
                            .be32(20, 1));
        const auto sent = takeSentTo(client);
        EXPECT_FALSE(sent.empty());
        if (sent.empty() || msgnoOf(sent.front()) != No::SECLI_CONNECTION_ESTABLISHMENT_CFM) {
            ADD_FAILURE() << "no connection confirmation";
            return 0;
        }
        serverReference = be32At(sent.front(), 8);
        // Whatever followed the confirmation stays for the test to read.
        pendingAfterConnect.assign(sent.begin() + 1, sent.end());
        return serverReference;
    }

    void dataPlaneAnswer(uint32_t msgno, uint32_t outputId, uint32_t client = DATA_PLANE) {
        deliver(client, Wire(msgno, 12).refs(outputId, serverReference));
    }

    // What the daemon sends for each kind of order, written out field by field.
    static std::vector<uint8_t> configRequest(uint32_t msgno, uint32_t outputId,
                                              const std::string& interfaceName, const std::string& mac,
                                              const std::string& networkNamespace) {
        return Wire(msgno, 544)
            .refs(outputId, DP_CONNECTION)
            .chars(12, interfaceName)
            .chars(268, mac)
            .chars(288, networkNamespace);
    }

    static std::vector<uint8_t> transmitSsm(uint32_t outputId, uint32_t ssm, uint32_t enhanced,
                                            uint64_t masterId, uint32_t flag, uint32_t eeecs, uint32_t eecs) {
        return Wire(No::SECLI_OUTPUT_TRANSMIT_SSM_IND, 48)
            .refs(outputId, DP_CONNECTION)
            .be32(12, ssm)
            .be32(16, enhanced)
            .be64(24, masterId)
            .be32(32, flag)
            .be32(36, eeecs)
            .be32(40, eecs);
    }

    static std::vector<uint8_t> esmcControl(uint32_t outputId, uint32_t enabled) {
        return Wire(No::SECLI_OUTPUT_ESMC_CONTROL_IND, 16).refs(outputId, DP_CONNECTION).be32(12, enabled);
    }

    static std::vector<uint8_t> removeRequest(uint32_t outputId) {
        return Wire(No::SECLI_OUTPUT_CONFIG_REMOVE_RREQ, 12).refs(outputId, DP_CONNECTION);
    }

    // --- command server ----------------------------------------------------------------------------

    // Runs "synclumovcontrol <words...>" and returns the answer's text.
    std::string command(const std::vector<std::string>& words) {
        std::string packed;
        for (const std::string& word : words) {
            packed += word;
            packed.push_back('\0');
        }
        Wire request(No::SYNC_COLI_REQ, 8 + packed.size());
        request.host32(4, static_cast<uint32_t>(packed.size())).chars(8, packed);
        deliver(COLI, request);
        std::string text;
        for (const auto& message : takeSentTo(COLI)) {
            if (msgnoOf(message) == No::SYNC_COLI_RSP && message.size() > 8) {
                text += std::string(reinterpret_cast<const char*>(message.data()) + 8);
            }
        }
        return text;
    }

    // Every trace line is collected while the capture exists; a test of many entities drops it.
    TraceCapture& traces() { return *capture; }

    std::unique_ptr<TraceCapture> capture = std::make_unique<TraceCapture>();
    std::unique_ptr<InspectableController> controller;
    uint32_t serverReference = 0;
    std::vector<std::vector<uint8_t>> pendingAfterConnect;

  private:
    size_t& seen(uint32_t peer) {
        for (auto& entry : seenByPeer) {
            if (entry.first == peer) {
                return entry.second;
            }
        }
        seenByPeer.emplace_back(peer, 0);
        return seenByPeer.back().second;
    }

    std::vector<std::pair<uint32_t, size_t>> seenByPeer;
};

}  // namespace Test
}  // namespace Sync

#endif
