#include "FakeRoad.h"

#include <cstdio>

#include "FakeTavi.h"
#include "RoadWire.h"
#include "control/Controller.h"
#include "utilities/coli_common.h"

namespace Sync {
namespace Bench {

namespace {

// The peers' mailbox ids and references.
constexpr uint32_t IEPCSI = 0x3003;
constexpr uint32_t SCI = 0x5005;
constexpr uint32_t DATA_PLANE = 0x7007;
constexpr uint32_t IEPCSI_CONNECTION = 0x770;
constexpr uint32_t SCI_CONNECTION = 0x62;
constexpr uint32_t DP_PROCEDURE = 41;
constexpr uint32_t DP_CONNECTION = 0xC11E47;
// The output feature's client entity id towards the sync-control server.
constexpr uint32_t FEATURE_ENTITY = 1;
constexpr uint32_t ROLE_FRONTHAUL = 0x4;
constexpr uint32_t EPRTC = 20;

constexpr uint32_t IEPCSI_INIT_SERVICE_REQ = 0x1B1043;
constexpr uint32_t IEPCSI_INIT_CFM = 0x1B1044;
constexpr uint32_t IEPCSI_GET_ETH_PORT_SUPPORT_REQ = 0x1B1048;
constexpr uint32_t IEPCSI_GET_ETH_PORT_SUPPORT_CFM = 0x1B1049;
constexpr uint32_t IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_REQ = 0x1B1050;
constexpr uint32_t IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_CFM = 0x1B1051;
constexpr uint32_t IEPCSI_ETH_PORT_STATUS_IND = 0x1B1055;
constexpr uint32_t SCI_CONNECTION_ESTABLISHMENT_REQ = 0x9B902;
constexpr uint32_t SCI_CONNECTION_ESTABLISHMENT_CFM = 0x9B903;
constexpr uint32_t SCI_REC_CREATE_IND = 0x9B922;
constexpr uint32_t SCI_REC_CLOCK_SETTLED_QUALITY_IND = 0x9B925;
constexpr uint32_t SECLI_CONNECTION_ESTABLISHMENT_REQ = 0x94002;
constexpr uint32_t SECLI_CONNECTION_ESTABLISHMENT_CFM = 0x94003;
constexpr uint32_t SECLI_OUTPUT_CONFIG_CREATE_RREQ = 0x94010;
constexpr uint32_t SECLI_OUTPUT_CONFIG_CREATE_RCFM = 0x94011;
constexpr uint32_t SECLI_OUTPUT_TRANSMIT_SSM_IND = 0x94018;
constexpr uint32_t SECLI_OUTPUT_ESMC_CONTROL_IND = 0x94019;

std::string portName(uint32_t n) {
    char name[16];
    std::snprintf(name, sizeof name, "P%05u", n);
    return name;
}

std::vector<uint8_t> sciValue(uint32_t msgno, uint32_t value) {
    return RoadWire(msgno, 20).refs(0x61, SCI_CONNECTION).be32(12, FEATURE_ENTITY).be32(16, value).bytes();
}

}  // namespace

FakeRoad::FakeRoad() {
    FakeTavi::reset();
    coli_common_reset();
    controller_ = std::make_unique<LumovControl::Controller>("sync-lumov-control");
    controller_->init();
    pump();
    FakeTavi::clearSent();
}

FakeRoad::~FakeRoad() {
    controller_.reset();
    coli_common_reset();
    FakeTavi::reset();
}

bool FakeRoad::connectPeers() {
    inject(DATA_PLANE, RoadWire(SECLI_CONNECTION_ESTABLISHMENT_REQ, 24)
                           .refs(DP_PROCEDURE, DP_CONNECTION)
                           .be32(12, 1)
                           .be32(16, 1)
                           .be32(20, 1)
                           .bytes());
    const auto confirmation = take(DATA_PLANE);
    if (confirmation.size() != 1 ||
        RoadWire::msgnoOf(confirmation[0]) != SECLI_CONNECTION_ESTABLISHMENT_CFM) {
        return fail("the data-plane connection was not confirmed");
    }
    serverReference_ = RoadWire::be32At(confirmation[0], 8);

    FakeTavi::serviceUp("sci", "sync", SCI);
    pump();
    if (!expect(SCI, {SCI_CONNECTION_ESTABLISHMENT_REQ}, 1, "sync-control connection")) {
        return false;
    }
    inject(SCI,
           RoadWire(SCI_CONNECTION_ESTABLISHMENT_CFM, 16).refs(0x61, SCI_CONNECTION).be32(12, 1).bytes());
    if (take(SCI).size() != 3) {
        return fail("the output feature did not subscribe to the sync-control server");
    }
    inject(SCI, sciValue(SCI_REC_CLOCK_SETTLED_QUALITY_IND, EPRTC));

    if (FakeTavi::fireLocate("iepcsi-server", IEPCSI) != 1) {
        return fail("the daemon does not look for the port-control server");
    }
    pump();
    if (!expect(IEPCSI, {IEPCSI_INIT_SERVICE_REQ}, 1, "port-control connection")) {
        return false;
    }
    inject(IEPCSI, RoadWire(IEPCSI_INIT_CFM, 16).refs(1, IEPCSI_CONNECTION).be32(12, 1).bytes());
    return expect(IEPCSI, {IEPCSI_GET_ETH_PORT_SUPPORT_REQ}, 1, "port support request");
}

bool FakeRoad::discoverPorts(uint32_t n) {
    RoadWire support(IEPCSI_GET_ETH_PORT_SUPPORT_CFM, 16 + size_t(48) * n);
    support.refs(1, IEPCSI_CONNECTION).be32(12, n);
    for (uint32_t i = 0; i < n; ++i) {
        const size_t at = 16 + size_t(48) * i;
        const uint8_t mac[6] = {2, 0, 0, uint8_t(i >> 16), uint8_t(i >> 8), uint8_t(i)};
        support.be32(at, ROLE_FRONTHAUL)
            .be32(at + 4, 1000 + i)
            .bytes(at + 8, mac, 6)
            .text(at + 14, portName(i))
            .text(at + 30, "eth" + std::to_string(i));
    }
    inject(IEPCSI, support.bytes());
    return expect(IEPCSI, {IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_REQ}, n, "port support", &portIds_);
}

bool FakeRoad::confirmSubscriptions() {
    return stream(
        IEPCSI, portIds_.size(),
        [this](size_t i) {
            return RoadWire(IEPCSI_SUBSCRIBE_ETH_PORT_STATUS_CFM, 16)
                .refs(portIds_[i], IEPCSI_CONNECTION)
                .be32(12, 0x10000 + uint32_t(i))
                .bytes();
        },
        IEPCSI, {}, "subscription confirmations");
}

bool FakeRoad::portsUp() {
    return stream(
        IEPCSI, portIds_.size(), [this](size_t i) { return portStatusMessage(i, true, "ns1"); }, DATA_PLANE,
        {}, "ports up before the REC");
}

bool FakeRoad::recCreated() {
    inject(SCI, RoadWire(SCI_REC_CREATE_IND, 16).refs(0x61, SCI_CONNECTION).be32(12, FEATURE_ENTITY).bytes());
    return expect(DATA_PLANE, {SECLI_OUTPUT_CONFIG_CREATE_RREQ}, portIds_.size(), "REC created", &outputIds_);
}

bool FakeRoad::confirmOutputs() {
    return stream(
        DATA_PLANE, outputIds_.size(),
        [this](size_t i) {
            return RoadWire(SECLI_OUTPUT_CONFIG_CREATE_RCFM, 12)
                .refs(outputIds_[i], serverReference_)
                .bytes();
        },
        DATA_PLANE, {SECLI_OUTPUT_TRANSMIT_SSM_IND, SECLI_OUTPUT_ESMC_CONTROL_IND},
        "output creations confirmed");
}

bool FakeRoad::qualityChange(uint32_t clockSettledQuality) {
    inject(SCI, sciValue(SCI_REC_CLOCK_SETTLED_QUALITY_IND, clockSettledQuality));
    return expect(DATA_PLANE, {SECLI_OUTPUT_TRANSMIT_SSM_IND}, outputIds_.size(), "quality change");
}

bool FakeRoad::wholeRoad(uint32_t n) {
    return connectPeers() && discoverPorts(n) && confirmSubscriptions() && portsUp() && recCreated() &&
           confirmOutputs();
}

std::vector<uint8_t> FakeRoad::portStatusMessage(size_t index, bool enabled,
                                                 const std::string& networkNamespace) const {
    return RoadWire(IEPCSI_ETH_PORT_STATUS_IND, 37 + networkNamespace.size())
        .refs(portIds_.at(index), IEPCSI_CONNECTION)
        .be32(12, 1)
        .be32(16, enabled ? 1 : 0)
        .text(20, portName(uint32_t(index)))
        .text(36, networkNamespace)
        .bytes();
}

void FakeRoad::fromPortControl(const std::vector<uint8_t>& message) {
    inject(IEPCSI, message);
    FakeTavi::clearSent();
}

void FakeRoad::pump() {
    while (FakeTavi::pending() > 0) {
        controller_->onRead();
    }
}

void FakeRoad::inject(uint32_t sender, const std::vector<uint8_t>& bytes) {
    FakeTavi::inject(sender, bytes);
    pump();
}

bool FakeRoad::stream(uint32_t sender, size_t count,
                      const std::function<std::vector<uint8_t>(size_t)>& message, uint32_t peer,
                      const std::vector<uint32_t>& answers, const char* step) {
    for (size_t first = 0; first < count; first += kChunk) {
        const size_t last = first + kChunk < count ? first + kChunk : count;
        for (size_t i = first; i < last; ++i) {
            FakeTavi::inject(sender, message(i));
        }
        pump();
        if (!expect(peer, answers, last - first, step)) {
            return false;
        }
    }
    return true;
}

std::vector<std::vector<uint8_t>> FakeRoad::take(uint32_t peer) {
    std::vector<std::vector<uint8_t>> found;
    for (const FakeTavi::SentMessage& message : FakeTavi::sent()) {
        if (message.to == peer) {
            found.push_back(message.bytes);
        }
    }
    FakeTavi::clearSent();
    return found;
}

bool FakeRoad::expect(uint32_t peer, const std::vector<uint32_t>& numbers, size_t count, const char* step,
                      std::vector<uint32_t>* firstWordIds) {
    // Read where the transport recorded them: a fan-out to every output is too large to copy.
    if (firstWordIds != nullptr) {
        firstWordIds->clear();
        firstWordIds->reserve(count);
    }
    size_t found = 0;
    std::string fault;
    for (const FakeTavi::SentMessage& message : FakeTavi::sent()) {
        if (message.to != peer) {
            continue;
        }
        if (numbers.empty() || message.msgno() != numbers[found % numbers.size()]) {
            fault = "unexpected message " + std::to_string(message.msgno());
            break;
        }
        if (firstWordIds != nullptr && found % numbers.size() == 0) {
            firstWordIds->push_back(RoadWire::be32At(message.bytes, 4));
        }
        ++found;
    }
    FakeTavi::clearSent();
    if (fault.empty() && found != numbers.size() * count) {
        fault = std::to_string(found) + " messages instead of " + std::to_string(numbers.size() * count);
    }
    return fault.empty() || fail(std::string(step) + ": " + fault);
}

bool FakeRoad::fail(const std::string& text) {
    if (error_.empty()) {
        error_ = text;
    }
    return false;
}

}  // namespace Bench
}  // namespace Sync
