// The operator's answers for programs and for a quick look, against the daemon binary: every
// `--json` document fits the shipped schema (python3-jsonschema judges) and says what the text
// printout of the same moment says; `status` and `status --json` agree; and every way the command
// can end has its own exit status and message.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "CommandServer.h"
#include "Road.h"
#include "TempDir.h"

namespace {

using E2e::ChildProcess;
using E2e::ExitStatus;
using json = nlohmann::json;
using Fields = std::map<std::string, std::string>;

constexpr uint32_t QL_ENABLED = 1;
constexpr uint32_t REJECT_CODE = 5;
const std::string SCHEMA = std::string(SYNC_SOURCE_DIR) + "/packaging/synclumovcontrol.schema.json";

std::string hex2(uint32_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02x", value);
    return text;
}

// One record of a text printout: what its header line names, and its "  key : value" lines.
struct Record {
    std::string header;
    Fields fields;
    std::vector<std::string> list;  // "    - true" items, and the quality history lines
};

// The records of an answer, each starting at a line that begins with " #" or "*".
std::vector<Record> records(const std::string& text) {
    std::vector<Record> all;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(" #", 0) == 0 || line.rfind("*", 0) == 0) {
            all.push_back({line, {}, {}});
        } else if (all.empty() || line.rfind("  ", 0) != 0) {
            continue;
        } else if (line.rfind("    - ", 0) == 0 || line.rfind("  [", 0) == 0) {
            all.back().list.push_back(line.substr(line.find_first_not_of(' ')));
        } else if (const size_t colon = line.find(':'); colon != std::string::npos) {
            const std::string key = line.substr(2, line.find_last_not_of(' ', colon - 1) - 1);
            const size_t value = line.find_first_not_of(' ', colon + 1);
            all.back().fields[key] = value == std::string::npos ? "" : line.substr(value);
        }
    }
    return all;
}

// "2026-12-05T17:36:17.002+01:00" as the printouts write it: "2026-12-05 17:36:17.002".
std::string printedTime(const std::string& iso) {
    std::string text = iso.substr(0, 23);
    text[10] = ' ';
    return text;
}

// What each printout line of a JSON object reads, by the printout's key.
Fields printedFeature(const json& f) {
    // The printout writes "number(name)"; these are the numbers this daemon holds.
    const std::map<std::string, std::string> numbers{
        {"DEACTIVATED", "0"}, {"ACTIVATED", "1"}, {"QL_ENABLED", "1"}, {"QL_DISABLED", "2"}};
    auto stateText = [&](const json& name) { return numbers.at(name) + "(" + name.get<std::string>() + ")"; };
    return {{"recState", stateText(f["recState"])},
            {"selectionProcessMode", stateText(f["selectionProcessMode"])},
            {"clockSettledQuality", "0x" +
                                        [&] {
                                            char t[16];
                                            std::snprintf(t, sizeof t, "%x",
                                                          f["clockSettledQuality"]["value"].get<unsigned>());
                                            return std::string(t);
                                        }()},
            {"selectedReferenceLdn", f["selectedReferenceLdn"]},
            {"portOfActiveReferenceLdn", f["portOfActiveReferenceLdn"]},
            {"lagPortLdnOfActiveReference", f["lagPortLdnOfActiveReference"]},
            {"telecomStandard", f["telecomStandard"]},
            {"mySyncEMasterId", f["mySyncEMasterId"]},
            {"syncEMasterId", f["syncEMasterId"]},
            {"flag", hex2(f["flag"])},
            {"numberCascadedEeec", std::to_string(f["numberCascadedEeec"].get<int>())},
            {"numberCascadedEec", std::to_string(f["numberCascadedEec"].get<int>())}};
}

Fields printedOutput(const json& o) {
    return {{"ldn of ethernetPort", o["port"]},
            {"ssm", hex2(o["ssm"])},
            {"enhancedSsmCode", hex2(o["enhancedSsmCode"])},
            {"synceOutputEnabled", o["synceOutputEnabled"].get<bool>() ? "true" : "false"}};
}

Fields printedPort(const json& p) {
    const std::map<std::string, std::string> adminNumbers{
        {"ADM_LOCKED", "0"}, {"ADM_UNLOCKED", "1"}, {"ADM_SHUTTINGDOWN", "2"}};
    auto number = [&](const char* key) { return std::to_string(p[key].get<int>()); };
    return {{"ldn", p["ldn"]},
            {"tnport name", p["tnportName"]},
            {"mac address", p["macAddress"]},
            {"interface name", p["interfaceName"]},
            {"network namespace", "(" + p["networkNamespace"].get<std::string>() + ")"},
            {"rhaiId", number("rhaiId")},
            {"vlanId", number("vlanId")},
            {"iepcsiId", number("iepcsiId")},
            {"iepcsiLdn", p["iepcsiLdn"]},
            {"iepcsiRole", number("iepcsiRole")},
            {"administrativeState", adminNumbers.at(p["administrativeState"])},
            {"operationalState", p["operationalState"]},
            {"availabilityStatus", ""},
            {"isLag", "(" + number("isLag") + ")"},
            {"lagPortLdn", "(" + p["lagPortLdn"].get<std::string>() + ")"}};
}

// The printout of a status field for the status document: the peers' states, whose times and
// mailboxes are those of the moment.
Fields printedStatus(const json& s) {
    auto peer = [&](const char* name) {
        const json& link = s["peers"][name];
        std::string text =
            link["state"].get<std::string>() + " since " + link["since"].get<std::string>().substr(0, 19);
        text[text.find('T')] = ' ';
        if (!link["mailbox"].is_null())
            text += " (mailbox " + std::to_string(link["mailbox"].get<uint32_t>()) + ")";
        return text;
    };
    const json& q = s["clockSettledQuality"];
    return {{"REC", s["recState"]},
            {"Settled quality",
             q["name"].get<std::string>() + " (" + std::to_string(q["value"].get<int>()) + ")"},
            {"Selection process mode", s["selectionProcessMode"]},
            {"Telecom standard", s["telecomStandard"]},
            {"Port control", peer("port-control")},
            {"Sync control", peer("sync-control")},
            {"Data plane", peer("data-plane")},
            {"Outputs", std::to_string(s["outputs"]["total"].get<int>()) + " total, " +
                            std::to_string(s["outputs"]["enabled"].get<int>()) + " enabled, " +
                            std::to_string(s["outputs"]["disabled"].get<int>()) + " disabled"},
            {"Ports", std::to_string(s["ports"]["total"].get<int>()) + " total, " +
                          std::to_string(s["ports"]["unlocked"].get<int>()) + " unlocked, " +
                          std::to_string(s["ports"]["enabled"].get<int>()) + " enabled"}};
}

class OperatorAnswersTest : public E2e::Road {
  protected:
    // The command's output, which must succeed.
    std::string run(const std::vector<std::string>& words) {
        std::vector<std::string> argv{SYNC_COMMAND_PATH};
        argv.insert(argv.end(), words.begin(), words.end());
        const ChildProcess::Result result = ChildProcess::run(argv, std::chrono::seconds(30));
        EXPECT_TRUE(result.succeeded()) << result.describe(argv);
        return result.output;
    }

    // The document of a --json command, kept for validation against the schema.
    json document(const std::vector<std::string>& words) {
        const std::string text = run(words);
        documents_.push_back(dir_.file("document-" + std::to_string(documents_.size()) + ".json"));
        std::ofstream(documents_.back()) << text;
        const json parsed = json::parse(text, nullptr, false);
        EXPECT_TRUE(parsed.is_object()) << text;
        return parsed;
    }

    E2e::TempDir dir_{"sync-json"};
    std::vector<std::string> documents_;
};

TEST_F(OperatorAnswersTest, JsonAndStatusFitTheSchemaAndSayWhatTheTextSays) {
    bringUp();
    ASSERT_FALSE(HasFatalFailure());
    sync_->sendSelectionProcessMode(QL_ENABLED);
    // TnPort-3 locked: its output leaves the text, not the document. The data plane rejects what
    // TnPort-4's return brings (a change request).
    ASSERT_TRUE(ports_->setPortState("TnPort-3", 0, 1));
    ports_->sendPortStatus("TnPort-3");
    planeHeard_.rejectConfigRequests(REJECT_CODE);
    ASSERT_TRUE(ports_->setPortState("TnPort-4", 1, 0));
    ports_->sendPortStatus("TnPort-4");
    ASSERT_TRUE(ports_->setPortState("TnPort-4", 1, 1));
    ports_->sendPortStatus("TnPort-4");
    ASSERT_TRUE(serveUntil([&] { return planeHeard_.ordersOf(Order::OUTPUT_CHANGE).size() == 1; }))
        << daemonOutput();
    settle();

    const std::string text = run({"info", "all"});
    const json all = document({"info", "all", "--json"});
    const std::vector<Record> printed = records(text);
    ASSERT_GE(printed.size(), 3u) << text;

    // The feature block and its quality history.
    const json& feature = all["feature"];
    EXPECT_EQ(printed[0].fields, printedFeature(feature)) << text;
    std::vector<std::string> history;
    for (const json& entry : feature["qualityHistory"])
        history.push_back("[" + printedTime(entry["time"]) +
                          "] : " + std::to_string(entry["value"].get<int>()) + " (" +
                          entry["name"].get<std::string>() + ") ");
    EXPECT_EQ(printed[0].list, history) << text;

    // Outputs: the text shows the active ones, the document every one, with its orders as the data
    // plane counted them.
    std::vector<Record> textOutputs;
    std::vector<Record> textPorts;
    for (const Record& record : printed) {
        if (record.header.rfind(" #SyncEthOutput, id: ", 0) == 0)
            textOutputs.push_back(record);
        if (record.header.rfind(" #FronthaulEthernetPort, id : ", 0) == 0)
            textPorts.push_back(record);
    }
    const json& outputs = all["outputs"]["items"];
    ASSERT_EQ(outputs.size(), outputs_);
    EXPECT_NE(text.find(" #Total SyncEthOutput: " + std::to_string(all["outputs"]["total"].get<int>())),
              std::string::npos);
    size_t active = 0;
    for (const json& output : outputs) {
        const uint32_t id = output["id"];
        SCOPED_TRACE("output " + std::to_string(id));
        EXPECT_EQ(output["active"].get<bool>(), output["port"] != "TnPort-3");
        if (output["active"].get<bool>()) {
            ASSERT_LT(active, textOutputs.size());
            EXPECT_EQ(textOutputs[active].header, " #SyncEthOutput, id: " + std::to_string(id) + " ");
            EXPECT_EQ(textOutputs[active].fields, printedOutput(output));
            ++active;
        }
        size_t sent = 0;
        size_t confirmed = 0;
        for (size_t i = 0; i < planeHeard_.orders().size(); ++i) {
            const Order& order = planeHeard_.orders()[i];
            if (order.procedureReference != id)
                continue;
            ++sent;
            const bool request = order.kind <= Order::OUTPUT_REMOVE;
            confirmed += request && !planeHeard_.rejected(i) ? 1 : 0;
        }
        const json& orders = output["orders"];
        EXPECT_EQ(orders["sent"], sent);
        EXPECT_EQ(orders["confirmed"], confirmed);
        const bool rejected = output["port"] == "TnPort-4";
        EXPECT_EQ(orders["rejected"], rejected ? 1 : 0);
        EXPECT_EQ(orders["lastRejectCode"], rejected ? json(REJECT_CODE) : json(nullptr));
    }
    EXPECT_EQ(active, textOutputs.size());

    // Ports, every one in both.
    const json& ports = all["ports"]["items"];
    ASSERT_EQ(ports.size(), textPorts.size());
    for (size_t i = 0; i < ports.size(); ++i) {
        EXPECT_EQ(textPorts[i].header,
                  " #FronthaulEthernetPort, id : " + std::to_string(ports[i]["id"].get<int>()) + " ");
        EXPECT_EQ(textPorts[i].fields, printedPort(ports[i])) << text;
    }

    // Each selection holds its part only (the schema says so); the peers are all connected.
    for (const char* selection : {"feature", "output", "ethernet"})
        EXPECT_EQ(document({"info", selection, "--json"})["selection"], selection);
    for (const char* peer : {"port-control", "sync-control", "data-plane", "command"})
        EXPECT_EQ(all["peers"][peer]["state"], "connected") << peer;

    // status: both forms, of the same moment as far as the daemon's peers go.
    // Its lines are "Key : value" from the first column; as a record's fields they are indented.
    std::string statusLines = "*\n  " + run({"status"});
    for (size_t at = statusLines.find('\n', 3); at != std::string::npos; at = statusLines.find('\n', at + 1))
        statusLines.insert(at + 1, "  ");
    const std::vector<Record> statusText = records(statusLines);
    const json status = document({"status", "--json"});
    ASSERT_EQ(statusText.size(), 1u);
    Fields statusFields = statusText[0].fields;
    EXPECT_EQ(statusFields["Command server"].rfind("connected since ", 0), 0u)
        << statusFields["Command server"];
    statusFields.erase("Command server");
    EXPECT_EQ(statusFields, printedStatus(status));
    EXPECT_EQ(status["outputs"], (json{{"total", 4}, {"enabled", 4}, {"disabled", 0}}));
    EXPECT_EQ(status["ports"], (json{{"total", 4}, {"unlocked", 3}, {"enabled", 4}}));

    std::vector<std::string> validate{"/usr/bin/python3", "-m", "jsonschema"};
    for (const std::string& file : documents_) {
        validate.push_back("-i");
        validate.push_back(file);
    }
    validate.push_back(SCHEMA);
    const ChildProcess::Result valid = ChildProcess::run(validate, std::chrono::seconds(60));
    EXPECT_TRUE(valid.succeeded()) << valid.describe(validate);
}

TEST_F(OperatorAnswersTest, EveryFailureHasItsOwnMessageAndExitStatus) {
    const std::string nowhere = "unix:path=" + dir_.file("no-bus");
    const struct {
        std::vector<std::string> argv;
        std::string bus;  // TAVI_BUS_ADDRESS when not the test's bus
        int code;
        std::string says;
    } cases[] = {
        {{SYNC_COMMAND_PATH, "--help"},
         nowhere,
         0,
         "usage: synclumovcontrol info [ feature | output | ethernet"},
        {{SYNC_COMMAND_PATH, "--version"}, nowhere, 0, "synclumovcontrol 1."},
        {{SYNC_DAEMON_PATH, "--help"}, nowhere, 0, "usage: sync-lumov-control [--help | --version]"},
        {{SYNC_DAEMON_PATH, "--version"}, nowhere, 0, "sync-lumov-control 1."},
        {{SYNC_DAEMON_PATH, "--bogus"},
         nowhere,
         2,
         "unexpected argument \"--bogus\"\nusage: sync-lumov-control"},
        // Usage errors never reach the bus (which would be exit 3 here).
        {{SYNC_COMMAND_PATH}, nowhere, 2, "usage: synclumovcontrol"},
        {{SYNC_COMMAND_PATH, "info"}, nowhere, 2, "usage: synclumovcontrol"},
        {{SYNC_COMMAND_PATH, "info", "everything"}, nowhere, 2, "usage: synclumovcontrol"},
        {{SYNC_COMMAND_PATH, "info", "all", "--json", "more"}, nowhere, 2, "usage: synclumovcontrol"},
        {{SYNC_COMMAND_PATH, "status", "all"}, nowhere, 2, "usage: synclumovcontrol"},
        {{SYNC_COMMAND_PATH, "status"}, nowhere, 3, "cannot reach the bus " + nowhere},
        // A bus without the daemon: it waits the 3 s it promises, then says so.
        {{SYNC_COMMAND_PATH, "info", "all"}, "", 6, "sync-lumov-control is not running on the bus"},
    };
    for (const auto& [argv, bus, code, says] : cases) {
        SCOPED_TRACE(argv.back());
        E2e::Environment env;
        if (!bus.empty())
            env["TAVI_BUS_ADDRESS"] = bus;
        const auto started = std::chrono::steady_clock::now();
        const ChildProcess::Result result = ChildProcess::run(argv, std::chrono::seconds(30), env);
        EXPECT_EQ(result.status, ExitStatus::exitedWith(code)) << result.describe(argv);
        EXPECT_NE(result.output.find(says), std::string::npos) << result.output;
        if (code == 6) {
            EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::seconds(3));
        }
    }
    // Refused by the bus (exit 4, "is this user in group sync-operators?") needs the installed policy
    // and other users: tests/e2e/system/.

    // Another command server keeps the name past the 2 s the command waits for it.
    SyncPeers::CommandServer holder;
    ASSERT_TRUE(holder.open()) << holder.lastError();
    const std::vector<std::string> status{SYNC_COMMAND_PATH, "status"};
    ChildProcess::Result taken = ChildProcess::run(status, std::chrono::seconds(30));
    EXPECT_EQ(taken.status, ExitStatus::exitedWith(5)) << taken.describe(status);
    EXPECT_NE(taken.output.find("another command server holds \"Sync_tavi_coli\""), std::string::npos);

    // Held for a moment only, it is waited for.
    bringUp();
    ASSERT_FALSE(HasFatalFailure());
    ChildProcess waiting(status);
    holder.processPending(300);
    holder.close();
    EXPECT_EQ(waiting.waitExit(std::chrono::seconds(30)), ExitStatus::exitedWith(0)) << waiting.output();

    // A daemon that runs but does not answer.
    ASSERT_TRUE(daemon_->signal(SIGSTOP));
    const ChildProcess::Result silent = ChildProcess::run(status, std::chrono::seconds(30));
    ASSERT_TRUE(daemon_->signal(SIGCONT));
    EXPECT_EQ(silent.status, ExitStatus::exitedWith(7)) << silent.describe(status);
    EXPECT_NE(silent.output.find("did not register its command within 3 s"), std::string::npos);
}

}  // namespace
