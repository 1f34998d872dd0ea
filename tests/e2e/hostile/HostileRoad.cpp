#include "HostileRoad.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace E2e {

namespace {

using SyncTools::DataPlaneClient;

constexpr const char* kCommand = "synclumovcontrol";
// The receive loop finds the descriptor readable for the bus's own traffic too; that null receive is
// the platform's normal way and says nothing about a peer.
constexpr const char* kNullReceive = "TAVI msg received as nullptr";

// The answer without its "completed at <time>" line, which differs from call to call.
std::string withoutTimeStamp(std::string text) {
    const size_t at = text.rfind("completed at ");
    if (at != std::string::npos)
        text.erase(at,
                   text.find('\n', at) == std::string::npos ? std::string::npos : text.find('\n', at) - at);
    return text;
}

}  // namespace

// The full-field port comes first, so that its record is followed by another one.
HostileRoad::HostileRoad()
    : Road({FronthaulScript::port(9, kFullPortName, kFullInterfaceName, "ns-f"),
            FronthaulScript::port(7, kPortA, "eth-a", "ns-a")}) {}

void HostileRoad::SetUp() {
    limit_ = std::chrono::seconds(60);
    ASSERT_TRUE(lttng_.startRecording(
        {"com_zentrova_sync_lumov_control:WARNING", "com_zentrova_sync_lumov_control:ERROR"}))
        << lttng_.error();
    ASSERT_TRUE(command_.open()) << command_.lastError();
    bringUp(Peer::NONE, {"", lttng_.environment()});
    ASSERT_FALSE(HasFatalFailure());
    const auto* registration = command_.waitForRegistration(kCommand, 60000);
    ASSERT_NE(registration, nullptr) << "the daemon did not register its command";
    commandPid_ = registration->pid;
    rebase();
    ASSERT_FALSE(baseline_.empty()) << "no answer to info all";
}

std::string HostileRoad::info(std::chrono::milliseconds timeout) {
    if (!command_.runCommand(commandPid_, {kCommand, "info", "all"}, static_cast<int>(timeout.count())))
        return std::string();
    return withoutTimeStamp(command_.answer().text());
}

void HostileRoad::run(const HostileCase& hostile,
                      const std::function<void(const SyncTools::WireBuffer&)>& send) {
    SCOPED_TRACE(hostile.name);
    const size_t orders = dataPlane_->orders().size();
    send(hostile.bytes);
    if (!hostile.expected.empty())
        ++expected_[hostile.expected];
    EXPECT_EQ(info(), baseline_);
    settle(20);
    EXPECT_EQ(dataPlane_->orders().size(), orders)
        << "orders after the case:\n"
        << describe({dataPlane_->orders().begin() + static_cast<long>(orders), dataPlane_->orders().end()});
    EXPECT_TRUE(daemon_->running()) << daemon_->output();
}

void HostileRoad::runTable(const std::vector<HostileCase>& table, uint32_t from,
                           const std::function<void(const SyncTools::WireBuffer&)>& send) {
    const auto deliverRaw = [&](const SyncTools::WireBuffer& bytes) {
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
        for (uint8_t byte : bytes.bytes())
            argv.push_back(std::to_string(byte));
        const ChildProcess::Result result = ChildProcess::run(argv, std::chrono::seconds(30));
        EXPECT_TRUE(result.succeeded()) << result.describe(argv);
    };
    for (const HostileCase& hostile : table) {
        if (hostile.bytes.size() < 4)
            run(hostile, deliverRaw);
        else
            run(hostile, send);
        if (!daemon_->running())
            return;
    }
}

void HostileRoad::rebase() {
    settle();
    baseline_ = info();
}

void HostileRoad::checkStillServes() {
    ASSERT_TRUE(ports_->setPortState(kPortA, 2, 1));
    ports_->sendPortStatus(kPortA);
    const std::string locked = info();
    EXPECT_FALSE(locked.empty());
    EXPECT_NE(locked, baseline_) << "the locked port's output is still printed";
    const size_t orders = dataPlane_->orders().size();
    ASSERT_TRUE(ports_->setPortState(kPortA, 1, 1));
    ports_->sendPortStatus(kPortA);
    EXPECT_TRUE(serveUntil([&] { return dataPlane_->orders().size() > orders; }))
        << "no order after the port was unlocked: " << daemon_->output();
    settle();
    EXPECT_EQ(info(), baseline_);

    // Quality levels enabled: every output is told to transmit.
    const size_t before = dataPlane_->orders().size();
    sync_->sendSelectionProcessMode(1);
    EXPECT_TRUE(serveUntil([&] {
        const std::vector<Order> all = ordersOf(Order::ESMC_CONTROL, before);
        return std::count_if(all.begin(), all.end(), [](const Order& o) { return o.output == 1; }) >= 2;
    })) << "the data plane was not told to transmit: "
        << daemon_->output();
    EXPECT_TRUE(daemon_->running()) << daemon_->output();
}

void HostileRoad::checkTraces() {
    std::map<std::string, int> seen;
    std::vector<std::string> unexpected;
    for (const TraceRecord& record : lttng_.read()) {
        const std::string text =
            record.event() == "WARNING" ? record.field("warn_msg") : record.field("err_msg");
        if (record.vpid() != daemon_->pid() || text == kNullReceive)
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
        EXPECT_EQ(seen[text], count) << "events naming: " << text << "\n" << lttng_.error();
    EXPECT_TRUE(unexpected.empty()) << [&] {
        std::string all;
        for (const std::string& line : unexpected)
            all += line + "\n";
        return all;
    }();
}

}  // namespace E2e
