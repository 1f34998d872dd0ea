#include "FronthaulRoad.h"

#include <signal.h>

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "FronthaulScript.h"
#include "TestPeer.h"

namespace E2e {

namespace {

using SyncTools::DataPlaneClient;
using SyncTools::PortControlServer;
using SyncTools::SyncControlServer;
using SyncTools::WireBuffer;

// Sent to the test itself by the monitor on a killed peer's mailbox.
constexpr uint32_t kHostGone = 0xE2E0F001;

const char* mailboxOf(FronthaulRoad::Peer peer) {
    switch (peer) {
        case FronthaulRoad::Peer::PORTS:
            return PortControlServer::MAILBOX_NAME;
        case FronthaulRoad::Peer::SYNC:
            return SyncControlServer::DEFAULT_MAILBOX;
        case FronthaulRoad::Peer::DATA_PLANE:
            return DataPlaneClient::DEFAULT_MAILBOX;
        case FronthaulRoad::Peer::COMMANDS:
            return "Sync_tavi_coli";
        case FronthaulRoad::Peer::NONE:
            break;
    }
    return "";
}

void putBe64(WireBuffer& message, size_t offset, uint64_t value) {
    message.putBe32(offset, static_cast<uint32_t>(value >> 32));
    message.putBe32(offset + 4, static_cast<uint32_t>(value));
}

WireBuffer header(uint32_t msgno, size_t size, uint32_t id) {
    WireBuffer message(msgno, size);
    message.putBe32(4, id);
    message.putBe32(8, FronthaulRoad::kClientConnectionReference);
    return message;
}

// Interface name, MAC address text and network namespace of port n, each in its fixed-width field.
WireBuffer configRequest(uint32_t msgno, uint32_t id, size_t n) {
    WireBuffer message = header(msgno, 544, id);
    message.putText(12, 256, "fh" + std::to_string(n));
    message.putText(268, 20, FronthaulScript::macText(n));
    message.putText(288, 256, "ns-fh" + std::to_string(n));
    return message;
}

}  // namespace

void FronthaulRoad::bringUp(Peer hosted, const Environment& env) {
    ASSERT_TRUE(bus_.running());
    hosted_ = hosted;
    // The sync-control data goes out before the port-control server even exists, so the daemon has
    // the REC and the quality when the ports come up: each output is created once and transmits
    // ePRTC from its first indication on.
    if (hosted == Peer::SYNC || hosted == Peer::DATA_PLANE || hosted == Peer::COMMANDS) {
        startHost(hosted == Peer::SYNC ? "sync" : hosted == Peer::DATA_PLANE ? "dataplane" : "command");
    }
    if (hosted != Peer::SYNC) {
        openSync();
    }
    if (hosted != Peer::DATA_PLANE) {
        openDataPlane();
    }
    daemon_ = std::make_unique<DaemonProcess>(DaemonProcess::Options("", env));
    ASSERT_TRUE(daemon_->waitUntilReady()) << daemon_->output();

    ASSERT_TRUE(serveUntil([&] {
        const bool synced = sync_ ? sync_->subscriptions().size() == 3 : hostLines("rec created") == 1;
        const bool connected = dataPlane_ ? dataPlane_->state() == DataPlaneClient::State::CONNECTED
                                          : hostLines("connected") == 1;
        const bool registered = hosted != Peer::COMMANDS || hostLines("registered synclumovcontrol") == 1;
        return synced && connected && registered;
    })) << daemonOutput()
        << hostOutput();
    if (sync_) {
        sync_->sendRecCreate();
        sync_->sendClockSettledQuality(FronthaulScript::kQuality);
    }

    if (hosted == Peer::PORTS) {
        startHost("port");
        ASSERT_TRUE(serveUntil([&] { return hostLines("status sent") == 1; }))
            << daemonOutput() << hostOutput();
    } else {
        openPorts();
        ASSERT_TRUE(serveUntil([&] { return ports_->subscriptions().size() == FronthaulScript::kPorts; }))
            << daemonOutput();
        ports_->sendAllPortStatus();
    }

    ASSERT_TRUE(serveUntil([&] {
        return dataPlane_ ? ordersOf(Order::ESMC_CONTROL).size() == FronthaulScript::kPorts
                          : hostLines("ESMC_CONTROL") == FronthaulScript::kPorts;
    })) << daemonOutput()
        << hostOutput();
    if (dataPlane_) {
        for (const Order& create : ordersOf(Order::OUTPUT_CREATE)) {
            outputIds_[portOf(create.interfaceName)] = create.procedureReference;
        }
    }
}

void FronthaulRoad::TearDown() {
    if (!daemon_) {
        return;
    }
    // A sanitized daemon writes what it finds to its output; UBSan runs on after a report.
    const std::string output = daemon_->output();
    EXPECT_EQ(output.find("Sanitizer"), std::string::npos) << output;
    EXPECT_EQ(output.find("runtime error:"), std::string::npos) << output;
    // Nothing in the daemon catches SIGTERM: any other end means it had already gone.
    EXPECT_EQ(daemon_->stop(), ExitStatus::killedBy(SIGTERM)) << output;
}

void FronthaulRoad::startHost(const char* role) {
    host_ = std::make_unique<ChildProcess>(
        ChildProcess::Options{SYNC_PEER_HOST_PATH, {SYNC_PEER_HOST_PATH, role}, {}, hostOutput_.fd()});
    ASSERT_TRUE(host_->started());
}

void FronthaulRoad::openSync() {
    sync_ = std::make_unique<SyncControlServer>();
    ASSERT_TRUE(sync_->open()) << sync_->lastError();
}

void FronthaulRoad::openDataPlane() {
    dataPlane_ = std::make_unique<DataPlaneClient>();
    dataPlane_->setRequestReferences(kClientProcedureReference, kClientConnectionReference);
    ASSERT_TRUE(dataPlane_->open()) << dataPlane_->lastError();
}

void FronthaulRoad::openPorts() {
    ports_ = std::make_unique<PortControlServer>();
    ports_->setPorts(FronthaulScript::ports());
    ASSERT_TRUE(ports_->open()) << ports_->lastError();
}

bool FronthaulRoad::serveUntil(const std::function<bool()>& done, std::chrono::seconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        if (ports_) {
            ports_->processOnce(10);
        }
        if (sync_) {
            sync_->processOnce(10);
        }
        if (dataPlane_) {
            dataPlane_->processOnce(10);
        }
        if (!ports_ && !sync_ && !dataPlane_) {
            return done();
        }
    }
    return true;
}

std::vector<FronthaulRoad::Order> FronthaulRoad::awaitOrders(size_t from, size_t count) {
    const bool arrived = serveUntil([&] { return dataPlane_->orders().size() >= from + count; });
    EXPECT_TRUE(arrived) << "waited for " << count << " orders after " << from << ", have "
                         << dataPlane_->orders().size() << "\n"
                         << daemonOutput();
    const auto& all = dataPlane_->orders();
    return std::vector<Order>(all.begin() + static_cast<long>(std::min(from, all.size())), all.end());
}

std::vector<FronthaulRoad::Order> FronthaulRoad::ordersOf(Order::Kind kind, size_t from) const {
    std::vector<Order> found;
    const auto& all = dataPlane_->orders();
    for (size_t i = from; i < all.size(); ++i) {
        if (all[i].kind == kind) {
            found.push_back(all[i]);
        }
    }
    return found;
}

void FronthaulRoad::killHost() {
    ASSERT_TRUE(host_) << "no peer runs in a process of its own";
    TestPeer watcher("e2e-host-watcher");
    ASSERT_TRUE(watcher.ok());
    const std::optional<uint32_t> id = watcher.locate(mailboxOf(hosted_));
    ASSERT_TRUE(id.has_value()) << hostOutput();
    ASSERT_NE(watcher.monitor(*id, kHostGone), 0u);
    ASSERT_TRUE(host_->signal(SIGKILL));
    const std::optional<ExitStatus> status = host_->waitExit(std::chrono::seconds(10));
    ASSERT_TRUE(status.has_value()) << "the peer survived SIGKILL";
    EXPECT_EQ(*status, ExitStatus::killedBy(SIGKILL));
    const std::optional<TestPeer::Message> gone = watcher.receive(std::chrono::seconds(10));
    ASSERT_TRUE(gone.has_value()) << "the killed peer's mailbox stayed on the bus";
    ASSERT_EQ(gone->msgno(), kHostGone);
}

size_t FronthaulRoad::hostLines(const std::string& prefix) const {
    std::istringstream lines(hostOutput_.text());
    size_t count = 0;
    for (std::string line; std::getline(lines, line);) {
        count += line.rfind(prefix, 0) == 0 ? 1 : 0;
    }
    return count;
}

Command::Result FronthaulRoad::info(const std::string& what) {
    return Command::run({SYNC_COMMAND_PATH, "info", what}, std::chrono::seconds(30));
}

WireBuffer FronthaulRoad::createRequest(uint32_t id, size_t n) {
    return configRequest(DataPlaneClient::OUTPUT_CONFIG_CREATE_RREQ, id, n);
}

WireBuffer FronthaulRoad::changeRequest(uint32_t id, size_t n) {
    return configRequest(DataPlaneClient::OUTPUT_CONFIG_CHANGE_RREQ, id, n);
}

// The extended QL TLV of a node without SyncE inputs: flag 0x02, one eEEC, no EEC.
WireBuffer FronthaulRoad::transmitSsm(uint32_t id, uint32_t ssm, uint32_t enhanced, uint64_t masterId) {
    WireBuffer message = header(DataPlaneClient::OUTPUT_TRANSMIT_SSM_IND, 48, id);
    message.putBe32(12, ssm);
    message.putBe32(16, enhanced);
    putBe64(message, 24, masterId);
    message.putBe32(32, 0x02);
    message.putBe32(36, 1);
    message.putBe32(40, 0);
    return message;
}

WireBuffer FronthaulRoad::esmcControl(uint32_t id, uint32_t output) {
    WireBuffer message = header(DataPlaneClient::OUTPUT_ESMC_CONTROL_IND, 16, id);
    message.putBe32(12, output);
    return message;
}

WireBuffer FronthaulRoad::removeRequest(uint32_t id) {
    return header(DataPlaneClient::OUTPUT_CONFIG_REMOVE_RREQ, 12, id);
}

size_t FronthaulRoad::portOf(const std::string& interfaceName) {
    for (size_t n = 1; n <= FronthaulScript::kPorts; ++n) {
        if (interfaceName == "fh" + std::to_string(n)) {
            return n;
        }
    }
    return 0;
}

size_t FronthaulRoad::portOfOutput(uint32_t id) const {
    for (size_t n = 1; n <= FronthaulScript::kPorts; ++n) {
        if (outputIds_[n] == id) {
            return n;
        }
    }
    return 0;
}

::testing::AssertionResult FronthaulRoad::sameBytes(const Order& order, const WireBuffer& expected) {
    const std::vector<uint8_t>& got = order.wire.bytes();
    const std::vector<uint8_t>& want = expected.bytes();
    const auto differ = std::mismatch(got.begin(), got.end(), want.begin(), want.end());
    if (got.size() == want.size() && differ.first == got.end()) {
        return ::testing::AssertionSuccess();
    }
    const size_t at = static_cast<size_t>(differ.first - got.begin());
    char where[96];
    std::snprintf(where, sizeof where, "%zu bytes, %zu expected; first difference at offset %zu", got.size(),
                  want.size(), at);
    return ::testing::AssertionFailure() << order.describe() << ": " << where;
}

std::string FronthaulRoad::describe(const std::vector<Order>& orders) {
    std::string text;
    for (const Order& order : orders) {
        text += order.describe() + "\n";
    }
    return text;
}

}  // namespace E2e
