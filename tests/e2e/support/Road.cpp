#include "Road.h"

#include <signal.h>

#include <algorithm>
#include <sstream>

#include "TestPeer.h"

namespace E2e {

namespace {

using SyncPeers::DataPlaneClient;
using SyncPeers::PortControlServer;
using SyncPeers::SyncControlServer;

// Sent to the test itself by the monitor on a killed peer's mailbox.
constexpr uint32_t kHostGone = 0xE2E0F001;

// Of each peer (Road::Peer order): the argument that makes a PeerHost play it, and its mailbox.
const char* const kRoles[] = {"", "port", "sync", "dataplane", "command"};
const char* const kMailboxes[] = {"", PortControlServer::MAILBOX_NAME, SyncControlServer::DEFAULT_MAILBOX,
                                  DataPlaneClient::DEFAULT_MAILBOX, "Sync_tavi_coli"};

}  // namespace

Road::Road(std::vector<FronthaulScript::Port> table)
    : table_(std::move(table)),
      outputs_(static_cast<size_t>(std::count_if(table_.begin(), table_.end(), [](const auto& port) {
          return (port.role & PortControlServer::ROLE_C2) != 0;
      }))) {}

void Road::bringUp(Peer hosted, const DaemonProcess::Options& options) {
    ASSERT_TRUE(bus_.running());
    hosted_ = hosted;
    // The sync-control data goes out before the port-control server even exists, so the daemon has
    // the REC and the quality when the ports come up: each output is created once and transmits
    // ePRTC from its first indication on.
    if (hosted != Peer::NONE && hosted != Peer::PORTS)
        host_ = std::make_unique<ChildProcess>(
            std::vector<std::string>{SYNC_PEER_HOST_PATH, kRoles[static_cast<int>(hosted)]});
    if (hosted != Peer::SYNC)
        openSync();
    if (hosted != Peer::DATA_PLANE)
        openDataPlane();
    daemon_ = std::make_unique<DaemonProcess>(options);
    ASSERT_TRUE(daemon_->waitUntilReady(limit_)) << daemon_->output();

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
        host_ = std::make_unique<ChildProcess>(std::vector<std::string>{SYNC_PEER_HOST_PATH, kRoles[1]});
        ASSERT_TRUE(serveUntil([&] { return hostLines("status sent") == 1; }))
            << daemonOutput() << hostOutput();
    } else {
        openPorts();
        ASSERT_TRUE(serveUntil([&] { return ports_->subscriptions().size() == outputs_; })) << daemonOutput();
        ports_->sendAllPortStatus();
    }

    ASSERT_TRUE(serveUntil([&] {
        return dataPlane_ ? planeHeard_.ordersOf(Order::ESMC_CONTROL).size() == outputs_
                          : hostLines("ESMC_CONTROL") == outputs_;
    })) << daemonOutput()
        << hostOutput();
}

void Road::TearDown() {
    if (!daemon_)
        return;
    // A sanitized daemon writes what it finds to its output; UBSan runs on after a report.
    const std::string output = daemon_->output();
    EXPECT_EQ(output.find("Sanitizer"), std::string::npos) << output;
    EXPECT_EQ(output.find("runtime error:"), std::string::npos) << output;
    // Nothing in the daemon catches SIGTERM: any other end means it had already gone.
    EXPECT_EQ(daemon_->stop(), ExitStatus::killedBy(SIGTERM)) << output;
}

void Road::openSync() {
    sync_ = std::make_unique<SyncControlServer>();
    sync_->setListener(&syncHeard_);
    ASSERT_TRUE(sync_->open()) << sync_->lastError();
}

void Road::openDataPlane() {
    dataPlane_ = std::make_unique<DataPlaneClient>();
    dataPlane_->setListener(&planeHeard_);
    dataPlane_->setRequestReferences(kClientProcedureReference, kClientConnectionReference);
    ASSERT_TRUE(dataPlane_->open()) << dataPlane_->lastError();
}

void Road::openPorts() {
    ports_ = std::make_unique<PortControlServer>();
    ports_->setListener(&portsHeard_);
    ports_->setPorts(table_);
    ASSERT_TRUE(ports_->open()) << ports_->lastError();
}

bool Road::serveUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + limit_;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline || (daemon_ && !daemon_->running()))
            return false;
        for (SyncPeers::MailboxPeer* peer : {static_cast<SyncPeers::MailboxPeer*>(ports_.get()),
                                             static_cast<SyncPeers::MailboxPeer*>(sync_.get()),
                                             static_cast<SyncPeers::MailboxPeer*>(dataPlane_.get())})
            if (peer != nullptr)
                peer->processOnce(10);
    }
    return true;
}

void Road::settle(int quietMs) {
    const auto deadline = std::chrono::steady_clock::now() + limit_;
    while (ports_->processPending(quietMs) + sync_->processPending(quietMs) +
               dataPlane_->processPending(quietMs) >
           0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ADD_FAILURE() << "the peers still receive after " << limit_.count() << " s";
            return;
        }
    }
}

std::vector<Road::Order> Road::awaitOrders(size_t from, size_t count) {
    const bool arrived = serveUntil([&] { return planeHeard_.orders().size() >= from + count; });
    EXPECT_TRUE(arrived) << "waited for " << count << " orders after " << from << ", have "
                         << planeHeard_.orders().size() << "\n"
                         << daemonOutput();
    const auto& all = planeHeard_.orders();
    return std::vector<Order>(all.begin() + static_cast<long>(std::min(from, all.size())), all.end());
}

std::string Road::describe(const std::vector<Order>& orders) {
    std::string text;
    for (const Order& order : orders)
        text += order.describe() + "\n";
    return text;
}

ChildProcess::Result Road::info(const std::string& what) {
    return ChildProcess::run({SYNC_COMMAND_PATH, "info", what}, std::chrono::seconds(30));
}

void Road::killHost() {
    ASSERT_TRUE(host_) << "no peer runs in a process of its own";
    TestPeer watcher("e2e-host-watcher");
    ASSERT_TRUE(watcher.ok());
    const std::optional<uint32_t> id = watcher.locate(kMailboxes[static_cast<int>(hosted_)]);
    ASSERT_TRUE(id.has_value()) << hostOutput();
    ASSERT_NE(watcher.monitor(*id, kHostGone), 0u);
    EXPECT_EQ(host_->kill(), ExitStatus::killedBy(SIGKILL));
    const std::optional<TestPeer::Message> gone = watcher.receive(std::chrono::seconds(10));
    ASSERT_TRUE(gone.has_value()) << "the killed peer's mailbox stayed on the bus";
    ASSERT_EQ(gone->msgno(), kHostGone);
    EXPECT_EQ(gone->sender, *id);
    EXPECT_FALSE(watcher.receive(std::chrono::milliseconds(0)));
}

size_t Road::hostLines(const std::string& prefix) const {
    std::istringstream lines(hostOutput());
    size_t count = 0;
    for (std::string line; std::getline(lines, line);)
        count += line.rfind(prefix, 0) == 0 ? 1 : 0;
    return count;
}

}  // namespace E2e
