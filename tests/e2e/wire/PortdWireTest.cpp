// sync-portd serving the kernel's links to the daemon, with sync-esmcd on the wire: what the daemon
// shows of each port (`synclumovcontrol info ethernet`) and what arrives at the far ends as links go
// down, lose carrier, vanish and come back.
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <fstream>
#include <regex>
#include <thread>

#include "WireChain.h"

namespace {

using namespace std::chrono_literals;
using E2e::ChildProcess;
using E2e::EsmcCapture;
using E2e::NetLab;

// What the daemon shows of one port: "admin/OPER mac", e.g. "1/ENABLED 02:..".
std::string portLine(const std::string& info, const std::string& port) {
    const size_t at = info.find("tnport name               : " + port + "\n");
    if (at == std::string::npos)
        return "absent";
    std::smatch m;
    const std::string block = info.substr(at, 900);
    std::string mac, admin, oper;
    if (std::regex_search(block, m, std::regex("mac address +: (\\S+)")))
        mac = m[1];
    if (std::regex_search(block, m, std::regex("administrativeState +: (\\d+)")))
        admin = m[1];
    if (std::regex_search(block, m, std::regex("operationalState +: (\\S+)")))
        oper = m[1];
    return admin + "/" + oper + " " + mac;
}

std::string kernelMac(const std::string& netns, const std::string& link) {
    const std::string out = ChildProcess::run({"ip", "-n", netns, "-o", "link", "show", link}, 10s).output;
    std::smatch m;
    return std::regex_search(out, m, std::regex("link/ether (\\S+)")) ? std::string(m[1]) : "";
}

class PortdWireTest : public E2e::WireChain {
  protected:
    PortdWireTest() { kernelPorts_ = true; }

    std::string info() const {
        return ChildProcess::run({SYNC_COMMAND_PATH, "info", "ethernet"}, 10s).output;
    }
    // Waits until the daemon shows port `port` with `state` ("1/ENABLED", ...); the last state seen.
    std::string awaitPort(const std::string& port, const std::string& state) {
        std::string seen;
        for (int tries = 0; tries < 50; ++tries) {
            seen = portLine(info(), port);
            if (seen.rfind(state, 0) == 0)
                break;
            std::this_thread::sleep_for(100ms);
        }
        return seen;
    }
};

TEST_F(PortdWireTest, PortsAsTheKernelHasThem) {
    const std::string shown = info();
    EXPECT_EQ(portLine(shown, "TnPort-A"), "1/ENABLED " + kernelMac(lab_.net().node(), "fh1"));
    EXPECT_EQ(portLine(shown, "TnPort-B"), "1/ENABLED " + kernelMac(lab_.net().node(), "fh2"));
    EXPECT_EQ(portLine(shown, "TnPort-C").substr(0, 11), "0/DISABLED ") << "its namespace does not exist";
}

TEST_F(PortdWireTest, LinkChangesReachTheDaemonAndTheFirstPduReturnsAtOnce) {
    struct Case {
        const char* what;
        size_t port;        // 0-based
        const char* down;   // `ip -n NODE|FAR ...` commands that take the port away
        const char* shown;  // what the daemon shows then
        const char* up;     // ... and bring it back
    };
    const Case cases[] = {
        {"administratively down", 0, "node:link set fh1 down", "0/DISABLED", "node:link set fh1 up"},
        {"carrier lost at the far end", 1, "far:link set fp2 down", "1/DISABLED", "far:link set fp2 up"},
        {"moved to another namespace", 1, "node:link set fh2 netns FAR", "0/DISABLED",
         "far:link set fh2 netns NODE;node:link set fh2 up"},
    };
    const auto run = [&](std::string commands) {
        for (std::string command; !commands.empty();) {
            const size_t end = commands.find(';');
            command = commands.substr(0, end);
            commands = end == std::string::npos ? "" : commands.substr(end + 1);
            const bool node = command.rfind("node:", 0) == 0;
            std::string args = command.substr(command.find(':') + 1);
            for (const auto& [word, name] :
                 {std::pair{"NODE", lab_.net().node()}, std::pair{"FAR", lab_.net().far()}})
                if (const size_t at = args.find(word); at != std::string::npos)
                    args.replace(at, std::strlen(word), name);
            ASSERT_TRUE(NetLab::ip(node ? lab_.net().node() : lab_.net().far(), args)) << command;
        }
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string port = c.port == 0 ? "TnPort-A" : "TnPort-B";
        run(c.down);
        EXPECT_EQ(awaitPort(port, c.shown).substr(0, std::strlen(c.shown)), c.shown) << lab_.outputs();
        lab_.mark();
        const double up = EsmcCapture::now();
        run(c.up);
        EXPECT_EQ(awaitPort(port, "1/ENABLED").substr(0, 9), "1/ENABLED") << lab_.outputs();
        ASSERT_TRUE(lab_.capture().waitUntil([&] { return lab_.fresh(c.port) > 0; }, 3s)) << lab_.outputs();
        const std::vector<E2e::EsmcDecoded> pdus = lab_.since(c.port);
        EXPECT_LT(pdus.front().time - up, 0.3) << "the re-configured output sends at once\n"
                                               << lab_.outputs();
        EXPECT_EQ(pdus.front().ssm, 0x2u);
    }
}

TEST_F(PortdWireTest, InterfaceDeletedAndMadeAgainIsPickedUp) {
    ASSERT_TRUE(NetLab::ip(lab_.net().node(), "link delete fh1"));
    EXPECT_EQ(awaitPort("TnPort-A", "0/DISABLED").substr(0, 10), "0/DISABLED") << lab_.outputs();
    ASSERT_TRUE(ChildProcess::run({"ip", "link", "add", "fh1", "netns", lab_.net().node(), "type", "veth",
                                   "peer", "name", "fp1", "netns", lab_.net().far()},
                                  10s)
                    .succeeded());
    ASSERT_TRUE(NetLab::ip(lab_.net().far(), "link set fp1 up") &&
                NetLab::ip(lab_.net().node(), "link set fh1 up"));
    // The daemon keeps the MAC it learnt when it asked which ports exist.
    EXPECT_EQ(awaitPort("TnPort-A", "1/ENABLED").substr(0, 9), "1/ENABLED") << lab_.outputs();
    EsmcCapture fresh(lab_.net().far(), {NetLab::farLink(1)});
    EXPECT_TRUE(fresh.waitUntil([&] { return fresh.count(0) > 0; }, 3s)) << lab_.outputs();
}

TEST_F(PortdWireTest, PortdKilledAndRestartedChangesNothingOnTheWire) {
    const std::string before = info();
    lab_.mark();
    lab_.process("sync-portd").kill();
    startPortd();
    lab_.pass(3s);
    EXPECT_EQ(portLine(info(), "TnPort-A"), portLine(before, "TnPort-A"));
    const std::vector<E2e::EsmcDecoded> pdus = lab_.since(0);
    ASSERT_GE(pdus.size(), 2u);
    for (const E2e::EsmcDecoded& pdu : pdus) {
        EXPECT_EQ(pdu.ssm, 0x2u);
        EXPECT_FALSE(pdu.event);
    }
    lab_.process("sync-portd").signal(SIGUSR1);
    lab_.pass(300ms);
    EXPECT_NE(lab_.process("sync-portd").output().find("status: 3 ports, 3 subscriptions"), std::string::npos)
        << lab_.outputs();
}

TEST_F(PortdWireTest, NamespaceThatAppearsAndGoesIsFollowed) {
    const std::string missing = lab_.net().node() + "-missing";
    ASSERT_TRUE(ChildProcess::run({"ip", "netns", "add", missing}, 10s).succeeded());
    const bool made = ChildProcess::run({"ip", "link", "add", "fh3", "netns", missing, "type", "veth", "peer",
                                         "name", "fp3", "netns", missing},
                                        10s)
                          .succeeded() &&
                      NetLab::ip(missing, "link set fp3 up") && NetLab::ip(missing, "link set fh3 up");
    EXPECT_TRUE(made);
    EXPECT_EQ(awaitPort("TnPort-C", "1/ENABLED").substr(0, 9), "1/ENABLED") << lab_.outputs();
    ChildProcess::run({"ip", "netns", "delete", missing}, 10s);
    EXPECT_EQ(awaitPort("TnPort-C", "0/DISABLED").substr(0, 10), "0/DISABLED") << lab_.outputs();
}

TEST_F(PortdWireTest, ReloadedTableReportsRemovedPortsAndServesAddedOnes) {
    // TnPort-B leaves the table, TnPort-D (fh2, the same link) joins it.
    lab_.writePorts(1, "port fronthaul 3 TnPort-C fh3 " + lab_.net().node() +
                           "-missing\nport fronthaul 4 TnPort-D fh2 " + lab_.net().node() + "\n");
    lab_.process("sync-portd").signal(SIGHUP);
    EXPECT_EQ(awaitPort("TnPort-D", "1/ENABLED").substr(0, 9), "1/ENABLED") << lab_.outputs();
    EXPECT_EQ(portLine(info(), "TnPort-B").substr(0, 10), "0/DISABLED") << lab_.outputs();
    EXPECT_EQ(awaitPort("TnPort-A", "1/ENABLED").substr(0, 9), "1/ENABLED") << lab_.outputs();
}

TEST(PortdTableTest, MalformedTableIsRefusedWithItsLineNumber) {
    E2e::TempDir dir("sync-portd");
    std::ofstream(dir.file("ports"))
        << "port fronthaul 1 A eth0\nport fronthaul x B eth1\n# fine\nport 4 3 A eth2\n";
    const ChildProcess::Result result =
        ChildProcess::run({SYNC_PORTD_PATH, "--ports", dir.file("ports")}, 10s);
    EXPECT_EQ(result.status, E2e::ExitStatus::exitedWith(2));
    EXPECT_NE(result.output.find("line 2: rhaiId must be a number"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("line 4: port A is already in the table"), std::string::npos)
        << result.output;
}

}  // namespace
