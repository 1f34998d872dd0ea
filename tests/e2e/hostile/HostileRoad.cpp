#include "HostileRoad.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "Command.h"

namespace E2e {

namespace {

using SyncTools::DataPlaneClient;
using SyncTools::PortControlServer;

constexpr const char* kEvents[] = {"com_zentrova_sync_lumov_control:WARNING",
                                   "com_zentrova_sync_lumov_control:ERROR"};
constexpr const char* kCommand = "synclumovcontrol";
constexpr int kCommandTimeoutMs = 60000;
// The receive loop finds the descriptor readable for the bus's own traffic too; that null receive is
// the platform's normal way and says nothing about a peer.
constexpr const char* kNullReceive = "TAVI msg received as nullptr";

std::string textOf(const TraceRecord& record) {
    return record.event() == "WARNING" ? record.field("warn_msg") : record.field("err_msg");
}

// The answer without its "completed at <time>" line, which differs from call to call.
std::string withoutTimeStamp(std::string text) {
    const size_t at = text.rfind("completed at ");
    if (at != std::string::npos)
        text.erase(at,
                   text.find('\n', at) == std::string::npos ? std::string::npos : text.find('\n', at) - at);
    return text;
}

PortControlServer::Port port(const std::string& name, const std::string& interfaceName, uint32_t rhaiId,
                             const std::string& networkNamespace) {
    PortControlServer::Port p;
    p.role = PortControlServer::ROLE_C2;
    p.rhaiId = rhaiId;
    p.macAddress = {0x02, 0x00, 0x00, 0x00, 0x00, static_cast<uint8_t>(rhaiId)};
    p.portName = name;
    p.interfaceName = interfaceName;
    p.networkNamespace = networkNamespace;
    return p;
}

}  // namespace

HostileRoad::HostileRoad() {
    // The full-field port comes first, so that its record is followed by another one.
    ports_.setPorts({port(kFullPortName, kFullInterfaceName, 9, "ns-f"), port(kPortA, "eth-a", 7, "ns-a")});
}

HostileRoad::~HostileRoad() = default;

bool HostileRoad::start() {
    if (!bus_.running())
        return fail("no private bus");
    if (!lttng_.ready() || !lttng_.create())
        return fail("no LTTng session: " + lttng_.error());
    for (const char* events : kEvents) {
        if (!lttng_.enableEvents(events))
            return fail(lttng_.error());
    }
    if (!lttng_.start())
        return fail(lttng_.error());
    if (!ports_.open() || !sync_.open() || !dataPlane_.open() || !command_.open())
        return fail("a peer did not open: " + ports_.lastError() + sync_.lastError() +
                    dataPlane_.lastError() + command_.lastError());
    daemon_ = std::make_unique<DaemonProcess>(DaemonProcess::Options{"", lttng_.environment()});
    if (!daemon_->waitUntilReady(std::chrono::seconds(60)))
        return fail("daemon not ready: " + daemon_->output());
    if (!serveUntil([&] {
            return ports_.subscriptions().size() == 2 && sync_.subscriptions().size() >= 3 &&
                   dataPlane_.state() == DataPlaneClient::State::CONNECTED;
        }))
        return fail("the daemon did not connect to its peers: " + daemon_->output());
    sync_.sendRecCreate();
    sync_.sendClockSettledQuality(20);
    ports_.sendAllPortStatus();
    if (!serveUntil([&] {
            return ordersOf(DataPlaneClient::Order::TRANSMIT_SSM) >= 2 &&
                   ordersOf(DataPlaneClient::Order::ESMC_CONTROL) >= 2;
        }))
        return fail("the outputs did not start transmitting: " + daemon_->output());
    const auto* registration = command_.waitForRegistration(kCommand, kCommandTimeoutMs);
    if (registration == nullptr)
        return fail("the daemon did not register its command");
    commandPid_ = registration->pid;
    settle();
    baseline_ = info();
    if (baseline_.empty())
        return fail("no answer to info all");
    return true;
}

std::string HostileRoad::info(std::chrono::milliseconds timeout) {
    if (!command_.runCommand(commandPid_, {kCommand, "info", "all"}, static_cast<int>(timeout.count())))
        return std::string();
    return withoutTimeStamp(command_.answer().text());
}

bool HostileRoad::serveUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        ports_.processOnce(5);
        sync_.processOnce(5);
        dataPlane_.processOnce(5);
    }
    return true;
}

void HostileRoad::settle(int quietMs) {
    while (ports_.processPending(quietMs) + sync_.processPending(quietMs) +
               dataPlane_.processPending(quietMs) >
           0) {
    }
}

void HostileRoad::run(const HostileCase& hostile,
                      const std::function<void(const SyncTools::WireBuffer&)>& send) {
    SCOPED_TRACE(hostile.name);
    const size_t orders = dataPlane_.orders().size();
    send(hostile.bytes);
    if (!hostile.expected.empty())
        ++expected_[hostile.expected];
    EXPECT_EQ(info(), baseline_);
    settle(20);
    EXPECT_EQ(dataPlane_.orders().size(), orders) << [&] {
        std::string all = "orders after the case:";
        for (size_t i = orders; i < dataPlane_.orders().size(); ++i)
            all += "\n  " + dataPlane_.orders()[i].describe();
        return all;
    }();
    EXPECT_TRUE(daemon_->running()) << daemon_->output();
}

void HostileRoad::runTable(const std::vector<HostileCase>& table, uint32_t from,
                           const std::function<void(const SyncTools::WireBuffer&)>& send) {
    for (const HostileCase& hostile : table) {
        if (hostile.bytes.size() < 4)
            run(hostile, [&](const SyncTools::WireBuffer& bytes) { deliverRaw(from, bytes.bytes()); });
        else
            run(hostile, send);
        if (!daemon_->running())
            return;
    }
}

void HostileRoad::deliverRaw(uint32_t from, const std::vector<uint8_t>& bytes) {
    std::vector<std::string> argv = {"busctl",
                                     "--address=" + bus_.address(),
                                     "call",
                                     "--expect-reply=no",
                                     "org.tavi.Id.m" + std::to_string(daemonId()),
                                     "/org/tavi/Mailbox",
                                     "org.tavi.Mailbox",
                                     "Deliver",
                                     "uay",
                                     std::to_string(from),
                                     std::to_string(bytes.size())};
    for (uint8_t byte : bytes)
        argv.push_back(std::to_string(byte));
    const Command::Result result = Command::run(argv, std::chrono::seconds(30));
    EXPECT_TRUE(result.succeeded()) << result.describe(argv);
}

void HostileRoad::rebase() {
    settle();
    baseline_ = info();
}

void HostileRoad::checkStillServes() {
    ASSERT_TRUE(ports_.setPortState(kPortA, 2, 1));
    ports_.sendPortStatus(kPortA);
    const std::string locked = info();
    EXPECT_FALSE(locked.empty());
    EXPECT_NE(locked, baseline_) << "the locked port's output is still printed";
    const size_t orders = dataPlane_.orders().size();
    ASSERT_TRUE(ports_.setPortState(kPortA, 1, 1));
    ports_.sendPortStatus(kPortA);
    EXPECT_TRUE(serveUntil([&] { return dataPlane_.orders().size() > orders; }))
        << "no order after the port was unlocked: " << daemon_->output();
    settle();
    EXPECT_EQ(info(), baseline_);

    // Quality levels enabled: every output is told to transmit.
    const size_t before = dataPlane_.orders().size();
    sync_.sendSelectionProcessMode(1);
    EXPECT_TRUE(serveUntil([&] {
        const auto& all = dataPlane_.orders();
        return std::count_if(all.begin() + static_cast<std::ptrdiff_t>(before), all.end(), [](const auto& o) {
                   return o.kind == DataPlaneClient::Order::ESMC_CONTROL && o.output == 1;
               }) >= 2;
    })) << "the data plane was not told to transmit: "
        << daemon_->output();
    EXPECT_TRUE(daemon_->running()) << daemon_->output();
}

void HostileRoad::checkTraces() {
    ASSERT_TRUE(lttng_.stop()) << lttng_.error();
    std::map<std::string, int> seen;
    std::vector<std::string> unexpected;
    for (const TraceRecord& record : lttng_.read()) {
        if (record.vpid() != daemon_->pid())
            continue;
        const std::string text = textOf(record);
        if (text == kNullReceive)
            continue;
        const auto match = std::find_if(expected_.begin(), expected_.end(), [&](const auto& entry) {
            return text.find(entry.first) != std::string::npos;
        });
        if (match == expected_.end())
            unexpected.push_back(record.event() + ": " + text);
        else
            ++seen[match->first];
    }
    for (const auto& [text, count] : expected_)
        EXPECT_EQ(seen[text], count) << "events naming: " << text;
    EXPECT_TRUE(unexpected.empty()) << [&] {
        std::string all;
        for (const std::string& line : unexpected)
            all += line + "\n";
        return all;
    }();
}

bool HostileRoad::fail(const std::string& why) {
    why_ = why;
    return false;
}

size_t HostileRoad::ordersOf(DataPlaneClient::Order::Kind kind) const {
    const auto& orders = dataPlane_.orders();
    return static_cast<size_t>(std::count_if(
        orders.begin(), orders.end(), [kind](const DataPlaneClient::Order& o) { return o.kind == kind; }));
}

}  // namespace E2e
