// What an operator reads in the journal: the daemon on a whole road (ports up and down, quality and
// telecom standard changed, the REC deleted, every peer restarted, a data plane and a command server
// refused) writes each listed event exactly once, read back by field from a journal the test owns
// (journalctl -o json), or from its stderr lines where the test cannot have a journal.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "CommandServer.h"
#include "EventLines.h"
#include "PrivateJournal.h"
#include "Road.h"

namespace {

using E2e::FronthaulScript;
using Entry = std::map<std::string, std::string>;

constexpr uint32_t QL_ENABLED = 1;
constexpr uint32_t PRC = 1;
constexpr uint32_t OPTION_II = 2;

std::vector<FronthaulScript::Port> twoPorts() {
    return {FronthaulScript::port(1, "TnPort-1", "fh1", "ns1"),
            FronthaulScript::port(2, "TnPort-2", "fh2", "ns2")};
}

// An entry as the table below names it: priority, event, then its subject and values.
std::string keyOf(const Entry& entry) {
    auto value = [&](const char* name) {
        const auto found = entry.find(name);
        return found != entry.end() ? found->second : std::string();
    };
    std::string key = value("PRIORITY") + " " + value("SYNC_EVENT");
    for (const char* field : {"SYNC_PEER", "SYNC_PORT", "SYNC_QL_PREVIOUS", "SYNC_QL", "SYNC_MODE_PREVIOUS",
                              "SYNC_MODE", "SYNC_STANDARD_PREVIOUS", "SYNC_STANDARD", "SYNC_SSM_PREVIOUS",
                              "SYNC_SSM", "SYNC_ENHANCED_SSM_PREVIOUS", "SYNC_ENHANCED_SSM"})
        if (!value(field).empty())
            key += " " + value(field);
    return key;
}

class JournalRoadTest : public E2e::Road {
  protected:
    JournalRoadTest() : Road(twoPorts()) {}

    void bringUpWithJournal() {
        E2e::DaemonProcess::Options options;
        if (journal_.available())
            options.env["JOURNAL_STREAM"] = "0:0";  // what systemd sets when stderr is the journal
        bringUp(Peer::NONE, options);
    }

    // Every event entry the daemon wrote so far, oldest first.
    std::vector<Entry> events() const {
        std::vector<Entry> all = journal_.available()
                                     ? journal_.entries(daemon_->pid())
                                     : E2e::EventLines::parse(daemonOutput(), "sync-lumov-control");
        all.erase(
            std::remove_if(all.begin(), all.end(), [](const Entry& e) { return e.count("SYNC_EVENT") == 0; }),
            all.end());
        return all;
    }

    size_t count(const std::string& key) const {
        const std::vector<Entry> all = events();
        return static_cast<size_t>(
            std::count_if(all.begin(), all.end(), [&](const Entry& e) { return keyOf(e) == key; }));
    }

    // Serves the peers until the daemon has written `times` entries of key; the journal is read
    // every 100 ms at most.
    void await(const std::string& key, size_t times = 1) {
        auto next = std::chrono::steady_clock::now();
        const bool written = serveUntil([&] {
            if (std::chrono::steady_clock::now() < next)
                return false;
            next = std::chrono::steady_clock::now() + std::chrono::milliseconds(100);
            return count(key) >= times;
        });
        ASSERT_TRUE(written) << "no " << times << " x \"" << key << "\"\n"
                             << describe(events()) << daemonOutput();
    }

    static std::string describe(const std::vector<Entry>& entries) {
        std::string text;
        for (const Entry& entry : entries)
            text += keyOf(entry) + "    " + entry.at("MESSAGE") + "\n";
        return text;
    }

    E2e::PrivateJournal journal_;
};

TEST_F(JournalRoadTest, AWholeRoadWritesEveryEventOnceByField) {
    if (!journal_.available())
        std::cout << "no journal of the test's own (" << journal_.why() << "): reading the daemon's stderr\n";
    bringUpWithJournal();
    ASSERT_FALSE(HasFatalFailure());
    const uint32_t firstPortServer = ports_->id();
    await("6 PORT_ENABLED TnPort-2");

    sync_->sendSelectionProcessMode(QL_ENABLED);
    await("6 OUTPUT_ENABLED TnPort-2");
    // Port 1 goes down and comes back; port 2 is locked and unlocked.
    for (const auto& [port, admin, oper] : {std::tuple<const char*, uint32_t, uint32_t>{"TnPort-1", 1, 0},
                                            {"TnPort-1", 1, 1},
                                            {"TnPort-2", 0, 1},
                                            {"TnPort-2", 1, 1}}) {
        ASSERT_TRUE(ports_->setPortState(port, admin, oper));
        ASSERT_EQ(ports_->sendPortStatus(port), 1u);
    }
    sync_->sendClockSettledQuality(PRC);
    sync_->sendTelecomStandard(OPTION_II);
    await("6 STANDARD_CHANGED OPTION_I OPTION_II");
    sync_->sendRecDelete();
    await("4 REC_DELETED");

    // Every peer goes and comes back; a second data plane and a command server that answers the
    // registration with a failure are refused.
    sync_->close();
    await("4 PEER_LOST sync-control");
    openSync();
    await("6 PEER_CONNECTED sync-control", 2);
    dataPlane_->close();
    await("4 PEER_LOST data-plane");
    openDataPlane();
    await("6 PEER_CONNECTED data-plane", 2);
    SyncPeers::DataPlaneClient second("second-data-plane");
    ASSERT_TRUE(second.open()) << second.lastError();
    EXPECT_FALSE(second.waitForConnection(30000));
    await("4 PEER_REFUSED data-plane");
    ports_->close();
    await("4 PEER_LOST port-control");
    openPorts();
    ASSERT_TRUE(serveUntil([&] { return ports_->subscriptions().size() == 2; })) << daemonOutput();
    ports_->sendAllPortStatus();  // as before: no port changes
    const uint32_t secondPortServer = ports_->id();
    // A command server comes and goes, one refuses the registration, and one comes: the last event.
    SyncPeers::CommandServer commands;
    auto serveCommands = [&](uint32_t result, size_t registrations) {
        commands.setRegistrationResult(result);
        ASSERT_TRUE(commands.open()) << commands.lastError();
        ASSERT_TRUE(commands.waitFor([&] { return commands.registrations().size() == registrations; }, 30000))
            << daemonOutput();
    };
    serveCommands(0, 1);
    await("6 PEER_CONNECTED command");
    commands.close();
    await("6 PEER_LOST command");
    serveCommands(1, 2);
    await("4 PEER_REFUSED command");
    commands.close();
    serveCommands(0, 3);
    await("6 PEER_CONNECTED command", 2);

    // The last event is in: everything before it is too, and nothing more comes.
    const std::multiset<std::string> expected{
        // the road up: sync control and data plane first, the REC and its quality, then the ports
        "6 PEER_CONNECTED sync-control", "6 PEER_CONNECTED data-plane", "6 REC_CREATED",
        "6 QUALITY_CHANGED 15 20", "6 PEER_CONNECTED port-control", "6 PORT_ADDED TnPort-1",
        "6 PORT_ADDED TnPort-2", "6 OUTPUT_CREATED TnPort-1 0x02 0x21", "6 OUTPUT_CREATED TnPort-2 0x02 0x21",
        "6 PORT_UNLOCKED TnPort-1", "6 PORT_UNLOCKED TnPort-2", "6 PORT_ENABLED TnPort-1",
        "6 PORT_ENABLED TnPort-2",
        // QL-enabled selection turns every output on
        "6 MODE_CHANGED QL_DISABLED QL_ENABLED", "6 OUTPUT_ENABLED TnPort-1", "6 OUTPUT_ENABLED TnPort-2",
        // a port down and up, a port locked and unlocked
        "4 PORT_DISABLED TnPort-1", "6 PORT_ENABLED TnPort-1", "6 PORT_LOCKED TnPort-2",
        "6 PORT_UNLOCKED TnPort-2",
        // PRC keeps SSM 0x2 and has no enhanced code; under option II too
        "6 QUALITY_CHANGED 20 1", "6 OUTPUT_ENHANCED_SSM_CHANGED TnPort-1 0x21 0xff",
        "6 OUTPUT_ENHANCED_SSM_CHANGED TnPort-2 0x21 0xff", "6 STANDARD_CHANGED OPTION_I OPTION_II",
        // the REC goes, and with it every output
        "4 REC_DELETED", "4 OUTPUT_REMOVED TnPort-1", "4 OUTPUT_REMOVED TnPort-2",
        // each peer restarted or refused
        "4 PEER_LOST sync-control", "6 PEER_CONNECTED sync-control", "4 PEER_LOST data-plane",
        "6 PEER_CONNECTED data-plane", "4 PEER_REFUSED data-plane", "4 PEER_LOST port-control",
        "6 PEER_CONNECTED port-control", "6 PEER_CONNECTED command", "6 PEER_LOST command",
        "4 PEER_REFUSED command", "6 PEER_CONNECTED command"};
    const std::vector<Entry> written = events();
    std::multiset<std::string> keys;
    for (const Entry& entry : written)
        keys.insert(keyOf(entry));
    EXPECT_EQ(keys, expected) << describe(written);

    // Fields beyond the key: the peer's mailbox, the quality's names, and who wrote it.
    std::vector<std::string> portServers;
    for (const Entry& entry : written) {
        if (keyOf(entry) == "6 PEER_CONNECTED port-control")
            portServers.push_back(entry.at("SYNC_PEER_MAILBOX"));
        if (keyOf(entry) == "6 QUALITY_CHANGED 20 1") {
            EXPECT_EQ(entry.at("SYNC_QL_NAME"), "PRC");
            EXPECT_EQ(entry.at("SYNC_QL_PREVIOUS_NAME"), "EPRTC");
            EXPECT_EQ(entry.at("MESSAGE"), "settled quality changed from EPRTC (20) to PRC (1)");
        }
        if (journal_.available()) {
            EXPECT_EQ(entry.at("SYSLOG_IDENTIFIER"), "sync-lumov-control");
        }
    }
    EXPECT_EQ(portServers,
              (std::vector<std::string>{std::to_string(firstPortServer), std::to_string(secondPortServer)}));
    // Beside the journal, not on stderr too.
    if (journal_.available()) {
        EXPECT_TRUE(E2e::EventLines::parse(daemonOutput(), "sync-lumov-control").empty()) << daemonOutput();
    }
}

}  // namespace
