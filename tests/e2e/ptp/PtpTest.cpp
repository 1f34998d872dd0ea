// The clock from PTP with nothing simulated: a grandmaster ptp4l at the far end (clockClass 6), the
// node's ptp4l, sync-clockd on its socket, the daemon, sync-portd and sync-esmcd on a private bus,
// and what tshark reads on the far end of each veth link. What sync-clockd reads from ptp4l is judged
// by linuxptp's own pmc: for the same running ptp4l every field of each data set decodes to what pmc
// prints, and sync-clockd's status printout names the same grandmaster, clockClass, port state and
// gmPresent.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <thread>

#include "PtpLink.h"
#include "PtpManagement.h"
#include "WireLab.h"

namespace {

using namespace std::chrono_literals;
using E2e::EsmcDecoded;
using SyncClockd::PtpManagement;

// "\t\tname value" lines of pmc's answer.
std::map<std::string, std::string> pmcFields(const std::string& output) {
    std::map<std::string, std::string> fields;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string name, value;
        if (line.rfind("\t\t", 0) == 0 && words >> name >> value)
            fields[name] = value;
    }
    return fields;
}

std::optional<PtpManagement::Message> ask(const std::string& socket, uint16_t id) {
    SyncClockd::PtpLink link(socket);
    std::string why;
    if (!link.open(why) || link.send(PtpManagement::request(PtpManagement::GET, id, 7, 0)) != 0)
        return std::nullopt;
    std::vector<uint8_t> datagram;
    std::string stranger;
    for (auto end = std::chrono::steady_clock::now() + 3s; std::chrono::steady_clock::now() < end;) {
        if (link.receive(datagram, stranger))
            return PtpManagement::decode(datagram.data(), datagram.size(), why);
        std::this_thread::sleep_for(10ms);
    }
    return std::nullopt;
}

constexpr size_t kPorts = 2;

// Every PDU since mark() carries one of the qualities, in the order given, each after the first at
// least once.
::testing::AssertionResult sequence(const E2e::WireLab& lab,
                                    const std::vector<std::pair<unsigned, unsigned>>& codes) {
    for (size_t i = 0; i < kPorts; ++i) {
        size_t at = 0;
        bool seen = true;  // the quality before may have had no PDU since mark()
        std::string trail;
        for (const EsmcDecoded& pdu : lab.since(i)) {
            const std::pair<unsigned, unsigned> got{pdu.ssm, pdu.enhancedSsm};
            trail += " " + std::to_string(pdu.ssm) + "/" + std::to_string(pdu.enhancedSsm);
            if (at + 1 < codes.size() && got == codes[at + 1] && seen)
                ++at, seen = false;
            if (got != codes[at])
                return ::testing::AssertionFailure() << "port " << i + 1 << ": out of turn after" << trail;
            seen = true;
        }
        if (at + 1 != codes.size() || !seen)
            return ::testing::AssertionFailure()
                   << "port " << i + 1 << ": reached " << at + 1 << " of " << codes.size() << " qualities";
    }
    return ::testing::AssertionSuccess();
}

// clockClass 6 is PRTC: SSM 0x2 (QL-PRC under option I) with enhanced SSM 0x20; 150 is SSU-A (0x4);
// no grandmaster is the free-running equipment clock, QL-SEC (0xB).
constexpr std::pair<unsigned, unsigned> PRTC{0x2, 0x20}, SSU_A{0x4, 0xFF}, SEC{0xB, 0xFF};

// The grandmaster and the node's ptp4l, sync-clockd on the node's socket, sync-portd serving two
// fronthaul ports from the kernel, the daemon and sync-esmcd: up when every port's PDUs carry the
// grandmaster's clockClass 6 (SSM 0x2).
TEST(PtpWireTest, PmcAgreesAndGrandmasterClassChangeLossAndReturnAndTheNodesPtp4lRestartReachTheWire) {
    if (geteuid() != 0)
        GTEST_SKIP() << "network namespaces, veth links and captures need root";
    E2e::WireLab lab(kPorts);
    ASSERT_TRUE(lab.ready()) << "cannot make network namespaces, veth links or captures";
    lab.startPtp4l(true);
    lab.startPtp4l(false);
    lab.start("sync-portd", {SYNC_PORTD_PATH, "--ports", lab.writePorts(kPorts)});
    lab.start("sync-clockd", {SYNC_CLOCKD_PATH, "--uds", lab.nodeSocket()});
    ASSERT_TRUE(lab.startDaemon()) << lab.outputs();
    lab.start("sync-esmcd", {SYNC_ESMCD_PATH, "--clock-mac", "02:00:5e:10:00:ff"});
    ASSERT_TRUE(lab.awaitSsm(0x2, 40s)) << "no PDUs with SSM 0x2 on every port\n" << lab.outputs();
    const struct {
        std::string socket;
        uint16_t id;
    } asked[] = {{lab.nodeSocket(), PtpManagement::PARENT_DATA_SET},
                 {lab.nodeSocket(), PtpManagement::PORT_DATA_SET},
                 {lab.nodeSocket(), PtpManagement::TIME_STATUS_NP},
                 {lab.grandmasterSocket(), PtpManagement::GRANDMASTER_SETTINGS_NP}};
    for (const auto& [socket, id] : asked) {
        const std::string name = PtpManagement::name(id);
        const std::optional<PtpManagement::Message> decoded = ask(socket, id);
        ASSERT_TRUE(decoded && decoded->managementId == id && !decoded->fields().empty()) << name;
        const std::map<std::string, std::string> printed =
            pmcFields(E2e::WireLab::pmc(socket, "GET " + name));
        for (const auto& [field, text] : decoded->fields()) {
            if (field == "master_offset" || field == "ingress_time")
                continue;  // they change from one answer to the next
            ASSERT_EQ(printed.count(field), 1u) << name << " " << field;
            EXPECT_EQ(text, printed.at(field)) << name << " " << field;
        }
    }

    E2e::ChildProcess& clockd = lab.process("sync-clockd");
    EXPECT_NE(clockd.output().find("clock settled quality PRTC"), std::string::npos) << clockd.output();
    clockd.signal(SIGUSR1);
    // The capture's bounded wait serves for any condition.
    ASSERT_TRUE(lab.capture().waitUntil(
        [&] { return clockd.output().find("status: indicated") != std::string::npos; }, 5s));
    const std::map<std::string, std::string> parent =
        pmcFields(E2e::WireLab::pmc(lab.nodeSocket(), "GET PARENT_DATA_SET"));
    const std::map<std::string, std::string> time =
        pmcFields(E2e::WireLab::pmc(lab.nodeSocket(), "GET TIME_STATUS_NP"));
    const std::map<std::string, std::string> port =
        pmcFields(E2e::WireLab::pmc(lab.nodeSocket(), "GET PORT_DATA_SET"));
    for (const std::string& line :
         {"status: grandmaster " + parent.at("grandmasterIdentity") + " clockClass " +
              parent.at("gm.ClockClass"),
          "status: gmPresent " + time.at("gmPresent"), "status: port 1 " + port.at("portState")})
        EXPECT_NE(clockd.output().find(line + "\n"), std::string::npos) << line << "\n" << clockd.output();

    lab.mark();
    const double changed = E2e::EsmcCapture::now();
    ASSERT_TRUE(lab.setClockClass(150));
    ASSERT_TRUE(lab.awaitSsm(0x4, 10s)) << lab.outputs();
    for (size_t i = 0; i < kPorts; ++i) {
        const std::vector<EsmcDecoded> pdus = lab.since(i);
        const auto first =
            std::find_if(pdus.begin(), pdus.end(), [](const EsmcDecoded& p) { return p.ssm == 0x4; });
        ASSERT_NE(first, pdus.end());
        EXPECT_LT(first->time - changed, 2.0) << "port " << i + 1;
        EXPECT_TRUE(first->event);
    }
    EXPECT_TRUE(sequence(lab, {PRTC, SSU_A}));

    lab.mark();
    lab.process("grandmaster ptp4l").stop();
    ASSERT_TRUE(lab.awaitSsm(0xB, 15s)) << lab.outputs();
    lab.startPtp4l(true);
    ASSERT_TRUE(lab.awaitSsm(0x2, 30s)) << lab.outputs();
    EXPECT_TRUE(sequence(lab, {SSU_A, SEC, PRTC}));

    // The node's ptp4l killed and restarted: no reference and back, no output removed, no gap.
    lab.mark();
    lab.process("node ptp4l").kill();
    ASSERT_TRUE(lab.awaitSsm(0xB, 10s)) << lab.outputs();
    lab.startPtp4l(false);
    ASSERT_TRUE(lab.awaitSsm(0x2, 30s)) << lab.outputs();
    EXPECT_TRUE(sequence(lab, {PRTC, SEC, PRTC}));
    EXPECT_EQ(lab.process("sync-esmcd").output().find("removed"), std::string::npos) << lab.outputs();
    for (size_t i = 0; i < kPorts; ++i) {
        const std::vector<EsmcDecoded> pdus = lab.since(i);
        for (size_t k = 1; k < pdus.size(); ++k)
            EXPECT_LE(pdus[k].time - pdus[k - 1].time, 1.5) << "port " << i + 1 << " fell silent";
    }
    EXPECT_EQ(lab.process("sync-clockd").stop(), E2e::ExitStatus::exitedWith(0));
}

}  // namespace
