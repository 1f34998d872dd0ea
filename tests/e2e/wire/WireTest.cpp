// The whole chain to the wire in a WireLab with two fronthaul ports: the daemon, sync-sim serving sync
// control (it reads further steps from a pipe the test writes to) and port control, or sync-portd
// serving port control from the kernel, and sync-esmcd. A third port lives in a namespace that does
// not exist, so its output is refused (sync-sim) or it stays locked (sync-portd), until a test makes
// the namespace and a veth link fh3 there with its peer fp3 at the far end (removed by name after
// the test). The chain is up when PDUs arrive on both far ends: quality ePRTC under option I, QL
// enabled. What tshark's ESMC
// dissector reads on the far end of each veth is the judge; with sync-portd, so is what the daemon
// shows of each port (`synclumovcontrol info ethernet`) as links go down, lose carrier, vanish and
// come back.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <thread>

#include "WireLab.h"

namespace {

using namespace std::chrono_literals;
using E2e::ChildProcess;
using E2e::EsmcCapture;
using E2e::EsmcDecoded;
using E2e::NetLab;

constexpr int kPorts = 2;
constexpr uint64_t kClockId = 0x00005EFFFE1000FFull;  // the clock MAC with FFFE in the middle
constexpr int kHoldSeconds = 4;

class WireChain : public ::testing::Test {
  protected:
    void SetUp() override {
        if (geteuid() != 0)
            GTEST_SKIP() << "network namespaces, veth links and captures need root";
        signal(SIGPIPE, SIG_IGN);  // a sync-sim that died must fail the test, not end it
        ASSERT_TRUE(lab_.ready()) << "cannot make network namespaces, veth links or captures";
        const std::string missing = lab_.net().node() + "-missing";
        const std::string scenario = lab_.file("wire.scn");
        std::ofstream(scenario) << "port fronthaul 1 02:00:5e:10:00:01 TnPort-A fh1 unlocked enabled "
                                << lab_.net().node()
                                << "\nport fronthaul 2 02:00:5e:10:00:02 TnPort-B fh2 unlocked enabled "
                                << lab_.net().node()
                                << "\nport fronthaul 3 02:00:5e:10:00:03 TnPort-C fh3 unlocked enabled "
                                << missing << "\n";
        // The same ports for sync-portd, which learns the rest from the kernel.
        lab_.writePorts(kPorts, "port fronthaul 3 TnPort-C fh3 " + missing + "\n");
        int pipeFds[2];
        ASSERT_EQ(pipe2(pipeFds, O_CLOEXEC), 0);
        simInput_ = pipeFds[1];
        std::vector<std::string> sim = {SYNC_SIM_PATH, "--no-dataplane", "--stdin", scenario};
        if (kernelPorts_)
            sim.insert(sim.begin() + 1, "--no-ports");
        lab_.start("sync-sim", sim, pipeFds[0]);
        close(pipeFds[0]);
        if (kernelPorts_)
            startPortd();
        ASSERT_TRUE(lab_.startDaemon()) << lab_.outputs();
        startEsmcd();
        configure();
        ASSERT_TRUE(lab_.awaitSsm(0x2)) << lab_.outputs();
    }

    void TearDown() override {
        ChildProcess::run({"ip", "netns", "delete", late()}, 10s);  // when a test made it
        if (simInput_ < 0)
            return;  // skipped, or failed before sync-sim started
        close(simInput_);
        // sync-sim ends cleanly on SIGTERM.
        EXPECT_EQ(lab_.process("sync-sim").stop(), E2e::ExitStatus::exitedWith(0)) << lab_.outputs();
    }

    void startEsmcd() {
        lab_.start("sync-esmcd", {SYNC_ESMCD_PATH, "--clock-mac", "02:00:5e:10:00:ff", "--hold",
                                  std::to_string(kHoldSeconds)});
    }

    void startPortd() { lab_.start("sync-portd", {SYNC_PORTD_PATH, "--ports", lab_.file("ports")}); }

    // The steps that bring a fresh daemon to the configured state.
    void configure() {
        // sync-portd tells each subscriber its port's status by itself; sync-sim is told to.
        if (!kernelPorts_)
            step("wait port-subscriptions 3 30s");
        for (const char* line : {"wait sync-subscriptions 3 30s", "rec-create", "clock-quality EPRTC",
                                 "telecom-standard OPTION_I", "selection-mode QL_ENABLED"})
            step(line);
        if (!kernelPorts_)
            step("send-status all");
    }

    // Hands sync-sim one more step.
    void step(const std::string& line) {
        const std::string text = line + "\n";
        ASSERT_EQ(write(simInput_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    }

    // Lines of sync-esmcd's output that the regular expression finds something in.
    size_t esmcdLines(const std::string& pattern) {
        const std::regex wanted(pattern);
        std::istringstream lines(lab_.process("sync-esmcd").output());
        size_t count = 0;
        for (std::string line; std::getline(lines, line);)
            count += std::regex_search(line, wanted);
        return count;
    }
    // The namespace of port 3, TnPort-C.
    std::string late() { return lab_.net().node() + "-missing"; }
    // Makes fh3 in `netns` (and the namespace, when asked) with its peer fp3 at the far end, captured
    // from then on, and brings both up: when they were up, or -1 when something failed.
    double linkPort3(const std::string& netns, bool makeNamespace) {
        if ((makeNamespace && !ChildProcess::run({"ip", "netns", "add", netns}, 10s).succeeded()) ||
            !ChildProcess::run({"ip", "link", "add", "fh3", "netns", netns, "type", "veth", "peer", "name",
                                "fp3", "netns", lab_.net().far()},
                               10s)
                 .succeeded())
            return -1;
        port3_ = std::make_unique<EsmcCapture>(lab_.net().far(), std::vector<std::string>{"fp3"});
        const double up = EsmcCapture::now();
        const bool done = port3_->ready() && NetLab::ip(lab_.net().far(), "link set fp3 up") &&
                          NetLab::ip(netns, "link set fh3 up");
        return done ? up : -1;
    }
    // Whether the first PDU after the `seen` ones reached fp3 (waiting up to 3 s) with SSM 0x2 less
    // than `within` seconds after `from`.
    ::testing::AssertionResult port3Within(double within, double from, size_t seen = 0) {
        if (!port3_ || !port3_->waitUntil([&] { return port3_->count(0) > seen; }, 3s))
            return ::testing::AssertionFailure() << "no PDU at fp3\n" << lab_.outputs();
        const EsmcDecoded first = port3_->decode(0, seen).front();
        if (first.ssm != 0x2 || first.time - from >= within)
            return ::testing::AssertionFailure()
                   << "SSM " << first.ssm << " after " << first.time - from << " s\n"
                   << lab_.outputs();
        return ::testing::AssertionSuccess();
    }
    // How many PDUs fp3 heard once `span` passed.
    size_t heard(std::chrono::milliseconds span = 100ms) {
        port3_->waitUntil([] { return false; }, span);
        return port3_->count(0);
    }
    // Whether fp3 went with its namespace within 5 s: nothing holds that namespace any more.
    bool port3Gone() {
        return lab_.capture().waitUntil([&] { return !NetLab::ip(lab_.net().far(), "link show fp3"); }, 5s);
    }

    E2e::WireLab lab_{kPorts};
    bool kernelPorts_ = false;  // set by a test class before SetUp
    int simInput_ = -1;
    std::unique_ptr<EsmcCapture> port3_;
};

// Every PDU is a version 1 ESMC information or event PDU of 60 octets with a QL TLV and an extended
// QL TLV carrying these codes and the node's clock identity, and tshark has nothing to object to.
::testing::AssertionResult announce(const std::vector<EsmcDecoded>& pdus, unsigned ssm, unsigned enhanced) {
    for (const EsmcDecoded& pdu : pdus) {
        if (pdu.version != 1 || pdu.tlvTypes != "0x01,0x02" || pdu.length != 60 || !pdu.expert.empty() ||
            pdu.ssm != ssm || pdu.enhancedSsm != enhanced || pdu.clockId != kClockId || pdu.eeecs != 1 ||
            pdu.eecs != 0)
            return ::testing::AssertionFailure()
                   << "PDU at " << std::fixed << pdu.time << ": version " << pdu.version << " TLVs "
                   << pdu.tlvTypes << " length " << pdu.length << " ssm " << pdu.ssm << " enhanced "
                   << pdu.enhancedSsm << " clock " << std::hex << pdu.clockId << std::dec << " eEEC "
                   << pdu.eeecs << " EEC " << pdu.eecs << " expert \"" << pdu.expert << "\"";
    }
    return ::testing::AssertionSuccess();
}

size_t mostInOneSecond(const std::vector<EsmcDecoded>& pdus) {
    size_t most = 0;
    for (const EsmcDecoded& first : pdus)
        most = std::max<size_t>(most, std::count_if(pdus.begin(), pdus.end(), [&](const EsmcDecoded& p) {
                                    return p.time >= first.time && p.time < first.time + 1.0;
                                }));
    return most;
}

double longestGap(const std::vector<EsmcDecoded>& pdus) {
    double longest = 0;
    for (size_t i = 1; i < pdus.size(); ++i)
        longest = std::max(longest, pdus[i].time - pdus[i - 1].time);
    return longest;
}

using EsmcWireTest = WireChain;

TEST_F(EsmcWireTest, OncePerSecondThroughALinkDownAnEsmcdRestartAndEsmcOffAndOnThenAChangeAtOnceAsAnEvent) {
    lab_.mark();
    lab_.pass(3200ms);
    for (size_t i = 0; i < kPorts; ++i) {
        const std::vector<EsmcDecoded> pdus = lab_.since(i);
        EXPECT_TRUE(pdus.size() == 3 || pdus.size() == 4) << pdus.size() << " PDUs in 3.2 s";
        EXPECT_TRUE(announce(pdus, 0x2, 0x21));
        EXPECT_TRUE(std::none_of(pdus.begin(), pdus.end(), [](const EsmcDecoded& p) { return p.event; }));
    }

    // A link down is reported once while the other output goes on, and PDUs resume.
    ASSERT_TRUE(NetLab::ip(lab_.net().node(), "link set fh1 down"));
    lab_.pass(500ms);
    lab_.mark();
    lab_.pass(3500ms);
    EXPECT_EQ(lab_.fresh(0), 0u);
    EXPECT_GE(lab_.fresh(1), 3u);
    EXPECT_EQ(esmcdLines("fh1: cannot send"), 1u) << lab_.outputs();

    ASSERT_TRUE(NetLab::ip(lab_.net().node(), "link set fh1 up"));
    EXPECT_TRUE(lab_.capture().waitUntil([&] { return lab_.fresh(0) > 0; }, 3s)) << lab_.outputs();
    EXPECT_TRUE(announce(lab_.since(0), 0x2, 0x21));

    // sync-esmcd killed and restarted is brought back by the daemon.
    lab_.process("sync-esmcd").signal(SIGKILL);
    ASSERT_TRUE(lab_.process("sync-esmcd").waitExit(10s));
    lab_.pass(300ms);
    lab_.mark();
    startEsmcd();
    ASSERT_TRUE(lab_.capture().waitUntil([&] { return lab_.fresh(0) > 0 && lab_.fresh(1) > 0; }, 20s))
        << lab_.outputs();
    lab_.pass(1200ms);
    for (size_t i = 0; i < kPorts; ++i)
        EXPECT_TRUE(announce(lab_.since(i), 0x2, 0x21));

    // ESMC off stops every output, and on sends the first PDU at once.
    step("selection-mode QL_DISABLED");
    lab_.pass(1500ms);
    lab_.mark();
    lab_.pass(2500ms);
    for (size_t i = 0; i < kPorts; ++i)
        EXPECT_EQ(lab_.fresh(i), 0u) << "port " << i + 1 << " still transmits";

    const double on = E2e::EsmcCapture::now();
    step("selection-mode QL_ENABLED");
    ASSERT_TRUE(lab_.capture().waitUntil([&] { return lab_.fresh(0) > 0 && lab_.fresh(1) > 0; }, 5s));
    for (size_t i = 0; i < kPorts; ++i)
        EXPECT_LT(lab_.since(i).front().time - on, 0.5);

    lab_.mark();
    const double changed = E2e::EsmcCapture::now();
    step("telecom-standard OPTION_II");
    ASSERT_TRUE(lab_.awaitSsm(0x1)) << lab_.outputs();
    for (size_t i = 0; i < kPorts; ++i) {
        const std::vector<EsmcDecoded> pdus = lab_.since(i, 2);
        const auto first =
            std::find_if(pdus.begin(), pdus.end(), [](const EsmcDecoded& p) { return p.ssm == 0x1; });
        ASSERT_NE(first, pdus.end());
        EXPECT_TRUE(first->event);
        EXPECT_LT(first->time - changed, 0.5) << "the event PDU goes at once, not with the next second";
        EXPECT_TRUE(announce({first, pdus.end()}, 0x1, 0x21));
    }
}

TEST_F(EsmcWireTest, BurstOfThirtyChangesGivesAtMostTenPdusAPerSecondEndingWithTheLast) {
    lab_.mark();
    for (int i = 0; i < 30; ++i) {
        step(i % 2 == 0 ? "clock-quality SSU_A" : "clock-quality SSU_B");
        std::this_thread::sleep_for(16ms);
    }
    ASSERT_TRUE(lab_.awaitSsm(0x8)) << lab_.outputs();
    lab_.pass(1500ms);
    for (size_t i = 0; i < kPorts; ++i) {
        const std::vector<EsmcDecoded> pdus = lab_.since(i);
        EXPECT_LE(mostInOneSecond(pdus), 10u);
        ASSERT_FALSE(pdus.empty());
        EXPECT_EQ(pdus.back().ssm, 0x8u);
        EXPECT_EQ(pdus.back().enhancedSsm, 0xFFu);
    }
}

// Port 3's output, refused at its create, reaches fp3 within 0.5 s of what it lacked appearing, or of
// the change request that names a place that exists; its namespace deleted under it lets go.
TEST_F(EsmcWireTest, ARefusedOutputTransmitsOnceItsNamespaceOrInterfaceAppearsOrAChangeNamesOneThatIs) {
    const std::string node = lab_.net().node();
    lab_.process("sync-esmcd").signal(SIGUSR1);
    const std::string refused = "status: output [0-9]+ +fh3 +netns " + late() +
                                " .* refused since [-0-9]+ [:0-9]+: no such network namespace";
    EXPECT_TRUE(lab_.capture().waitUntil([&] { return esmcdLines(refused) == 1; }, 5s)) << lab_.outputs();

    // Its namespace made late with the link, then deleted under the transmitting output, which lets
    // it go, and made again.
    EXPECT_TRUE(port3Within(0.5, linkPort3(late(), true)));
    ASSERT_TRUE(ChildProcess::run({"ip", "netns", "delete", late()}, 10s).succeeded());
    ASSERT_TRUE(port3Gone()) << "the deleted namespace is still held\n" << lab_.outputs();
    EXPECT_TRUE(port3Within(0.5, linkPort3(late(), true)));

    // The daemon moves the port to the node's namespace, where fh3 does not exist: the change is
    // refused with that reason, fp3 hears no more, and fh3 moved there transmits at once.
    const auto reconfigure = [&](const std::string& netns) {
        for (const std::string& line :
             {"namespace TnPort-C " + netns, std::string("status TnPort-C locked disabled"),
              std::string("status TnPort-C unlocked enabled")})
            step(line);
        return EsmcCapture::now();
    };
    reconfigure(node);
    const auto rejected = [&](size_t count) {
        return lab_.capture().waitUntil(
            [&] { return esmcdLines("change rejected with code 2, no such interface") == count; }, 5s);
    };
    ASSERT_TRUE(rejected(1)) << lab_.outputs();
    size_t seen = heard();
    EXPECT_EQ(heard(1200ms), seen) << "the change's place replaced the create's";
    ASSERT_TRUE(NetLab::ip(late(), "link set fh3 netns " + node));
    const double moved = EsmcCapture::now();
    ASSERT_TRUE(NetLab::ip(node, "link set fh3 up"));
    EXPECT_TRUE(port3Within(0.5, moved, seen));

    // Moved to the late namespace, where fh3 is no longer, and back: the answer to the change request
    // that names fh3 where it is reaches fp3 at once.
    reconfigure(late());
    ASSERT_TRUE(rejected(2)) << lab_.outputs();
    seen = heard();
    EXPECT_TRUE(port3Within(0.5, reconfigure(node), seen));
    EXPECT_EQ(esmcdLines("unknown output"), 0u) << lab_.outputs();
}

TEST_F(EsmcWireTest, DaemonKilledAndRestartedLeavesTheStreamUntouchedThenHoldRunsOut) {
    lab_.mark();
    lab_.daemon().signal(SIGKILL);
    ASSERT_TRUE(lab_.daemon().waitExit(10s));
    ASSERT_TRUE(lab_.startDaemon()) << lab_.outputs();
    configure();
    // The refused output of port 3 is held and taken over too.
    ASSERT_TRUE(lab_.capture().waitUntil([&] { return esmcdLines("taken over") == 3; }, 30s))
        << lab_.outputs();
    lab_.pass(2s);
    for (size_t i = 0; i < kPorts; ++i) {
        const std::vector<EsmcDecoded> pdus = lab_.since(i);
        EXPECT_TRUE(announce(pdus, 0x2, 0x21));
        EXPECT_LE(longestGap(pdus), 1.5);
        EXPECT_TRUE(std::none_of(pdus.begin(), pdus.end(), [](const EsmcDecoded& p) { return p.event; }));
    }

    lab_.mark();
    const double killed = E2e::EsmcCapture::now();
    lab_.daemon().signal(SIGKILL);
    ASSERT_TRUE(lab_.awaitSsm(0xF, std::chrono::seconds(kHoldSeconds + 5))) << lab_.outputs();
    for (size_t i = 0; i < kPorts; ++i) {
        const std::vector<EsmcDecoded> pdus = lab_.since(i);
        const auto dnu =
            std::find_if(pdus.begin(), pdus.end(), [](const EsmcDecoded& p) { return p.ssm == 0xF; });
        ASSERT_NE(dnu, pdus.end());
        EXPECT_GE(dnu->time - killed, kHoldSeconds - 0.5);
        EXPECT_TRUE(dnu->event);
        EXPECT_TRUE(announce({dnu, pdus.end()}, 0xF, 0xFF));
    }
}

// What the daemon shows of one port: "admin/OPER mac", e.g. "1/ENABLED 02:..".
std::string portLine(const std::string& info, const std::string& port) {
    const std::regex block(
        "tnport name +: " + port +
        "\n[^]*?mac address +: (\\S+)[^]*?administrativeState +: (\\d+)\\s+operationalState +: (\\S+)");
    std::smatch m;
    return std::regex_search(info, m, block) ? m[2].str() + "/" + m[3].str() + " " + m[1].str() : "absent";
}

std::string kernelMac(const std::string& netns, const std::string& link) {
    const std::string out = ChildProcess::run({"ip", "-n", netns, "-o", "link", "show", link}, 10s).output;
    std::smatch m;
    return std::regex_search(out, m, std::regex("link/ether (\\S+)")) ? std::string(m[1]) : "";
}

class PortdWireTest : public WireChain {
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

TEST_F(PortdWireTest, KernelLinksAsTheyComeAndGoReachTheDaemonAndTheWire) {
    const std::string shown = info();
    EXPECT_EQ(portLine(shown, "TnPort-A"), "1/ENABLED " + kernelMac(lab_.net().node(), "fh1"));
    EXPECT_EQ(portLine(shown, "TnPort-B"), "1/ENABLED " + kernelMac(lab_.net().node(), "fh2"));
    EXPECT_EQ(portLine(shown, "TnPort-C").substr(0, 11), "0/DISABLED ") << "its namespace does not exist";

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

    // sync-portd killed and restarted changes nothing on the wire.
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

    // A namespace that appears late transmits within 2 s, again after it was deleted and made anew,
    // and nothing keeps the deleted one alive.
    for (const char* round : {"made late", "made anew"}) {
        SCOPED_TRACE(round);
        const double up = linkPort3(late(), true);
        EXPECT_EQ(awaitPort("TnPort-C", "1/ENABLED").substr(0, 9), "1/ENABLED") << lab_.outputs();
        EXPECT_TRUE(port3Within(2.0, up));
        ChildProcess::run({"ip", "netns", "delete", late()}, 10s);
        EXPECT_EQ(awaitPort("TnPort-C", "0/DISABLED").substr(0, 10), "0/DISABLED") << lab_.outputs();
        ASSERT_TRUE(port3Gone()) << lab_.outputs();
    }

    // TnPort-B leaves the table, TnPort-D (fh2, the same link) joins it.
    lab_.writePorts(1, "port fronthaul 3 TnPort-C fh3 " + late() + "\nport fronthaul 4 TnPort-D fh2 " +
                           lab_.net().node() + "\n");
    lab_.process("sync-portd").signal(SIGHUP);
    EXPECT_EQ(awaitPort("TnPort-D", "1/ENABLED").substr(0, 9), "1/ENABLED") << lab_.outputs();
    EXPECT_EQ(portLine(info(), "TnPort-B").substr(0, 10), "0/DISABLED") << lab_.outputs();
    EXPECT_EQ(awaitPort("TnPort-A", "1/ENABLED").substr(0, 9), "1/ENABLED") << lab_.outputs();
}

TEST(PortdTableTest, MalformedTableIsRefusedWithItsLineNumber) {
    E2e::TempDir dir("sync-portd");
    std::ofstream(dir.file("ports")) << "port fronthaul 1 A eth0\nport fronthaul x B eth1\n# fine\nport 4 3 "
                                        "A eth2\nport 4 5 E eth5 ns more\n";
    const ChildProcess::Result result =
        ChildProcess::run({SYNC_PORTD_PATH, "--ports", dir.file("ports")}, 10s);
    EXPECT_EQ(result.status, E2e::ExitStatus::exitedWith(2));
    EXPECT_NE(result.output.find("line 2: rhaiId must be a number"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("line 4: port A is already in the table"), std::string::npos)
        << result.output;
    EXPECT_NE(result.output.find("line 5: expected: port ROLE"), std::string::npos) << result.output;
}

}  // namespace
