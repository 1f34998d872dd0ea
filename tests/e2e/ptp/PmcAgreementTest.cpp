// What sync-clockd reads from ptp4l, judged by linuxptp's own pmc: for the same running ptp4l every
// field of each data set decodes to what pmc prints, and sync-clockd's status printout names the
// same grandmaster, clockClass, port state and gmPresent.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <thread>

#include "PtpLink.h"
#include "PtpManagement.h"
#include "WireLab.h"

namespace {

using namespace std::chrono_literals;
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

bool waitFor(const std::function<bool()>& done, std::chrono::seconds timeout) {
    for (auto end = std::chrono::steady_clock::now() + timeout; std::chrono::steady_clock::now() < end;
         std::this_thread::sleep_for(100ms))
        if (done())
            return true;
    return false;
}

TEST(PmcAgreementTest, EveryFieldDecodedEqualsWhatPmcPrintsAndSoDoesTheStatusPrintout) {
    E2e::WireLab lab(1);
    ASSERT_TRUE(lab.ready()) << "cannot make network namespaces and veth links (root needed)";
    lab.startGrandmaster();
    lab.startNode();
    ASSERT_TRUE(waitFor(
        [&] {
            return E2e::WireLab::pmc(lab.nodeSocket(), "GET PORT_DATA_SET").find("UNCALIBRATED") !=
                   std::string::npos;
        },
        20s))
        << lab.outputs();

    const struct {
        std::string socket;
        uint16_t id;
    } asked[] = {{lab.nodeSocket(), PtpManagement::PARENT_DATA_SET},
                 {lab.nodeSocket(), PtpManagement::PORT_DATA_SET},
                 {lab.nodeSocket(), PtpManagement::TIME_STATUS_NP},
                 {lab.grandmasterSocket(), PtpManagement::GRANDMASTER_SETTINGS_NP}};
    for (const auto& [socket, id] : asked) {
        const PtpManagement::Layout* layout = PtpManagement::layout(id);
        const std::optional<PtpManagement::Message> decoded = ask(socket, id);
        ASSERT_TRUE(decoded && decoded->layout == layout) << layout->name;
        const std::map<std::string, std::string> printed =
            pmcFields(E2e::WireLab::pmc(socket, std::string("GET ") + layout->name));
        for (size_t i = 0; i < layout->count; ++i) {
            const std::string name = layout->fields[i].name;
            if (name == "master_offset" || name == "ingress_time")
                continue;  // they change from one answer to the next
            ASSERT_EQ(printed.count(name), 1u) << layout->name << " " << name;
            EXPECT_EQ(decoded->text(name), printed.at(name)) << layout->name << " " << name;
        }
    }

    E2e::ChildProcess& clockd = lab.start("sync-clockd", {SYNC_CLOCKD_PATH, "--uds", lab.nodeSocket()});
    ASSERT_TRUE(
        waitFor([&] { return clockd.output().find("clock settled quality PRTC") != std::string::npos; }, 10s))
        << clockd.output();
    clockd.signal(SIGUSR1);
    ASSERT_TRUE(waitFor([&] { return clockd.output().find("status: indicated") != std::string::npos; }, 5s));
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
    EXPECT_EQ(clockd.stop(), E2e::ExitStatus::exitedWith(0));
}

}  // namespace
