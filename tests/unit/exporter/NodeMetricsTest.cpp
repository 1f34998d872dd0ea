// The exposition from what the sources answer: each family from its source, the ESMC series named
// by the port the daemon or sync-portd gives their output, a source that answered something wrong
// dropped whole while the others stay, and label values that cannot break a scrape.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "Exposition.h"
#include "Log.h"
#include "NodeMetrics.h"

namespace {

using json = nlohmann::json;
using SyncExporter::Exposition;
using SyncExporter::Metric;
using SyncExporter::NodeMetrics;

json daemonStatus() {
    return json::parse(R"({"recState": "ACTIVATED", "clockSettledQuality": {"value": 1, "name": "PRC"},
        "peers": {"port-control": {"state": "connected", "connected": true},
                  "sync-control": {"state": "connected", "connected": true},
                  "data-plane": {"connected": false}}})");
}

// TnPort-B's port is down: the daemon keeps its output enabled.
json daemonOutputs() {
    return json::parse(R"({"outputs": {"total": 2, "items": [
        {"id": 11, "port": "TnPort-A", "active": true, "ssm": 2, "enhancedSsmCode": 33,
         "synceOutputEnabled": true},
        {"id": 12, "port": "TnPort-B", "active": false, "ssm": 15, "enhancedSsmCode": 255,
         "synceOutputEnabled": true}]}})");
}

json portd() {
    return json::parse(R"({"ports": [
        {"name": "TnPort-A", "interface": "fh1", "namespace": "ns", "unlocked": true, "enabled": true},
        {"name": "TnPort-C", "interface": "fh3", "namespace": "ns", "unlocked": true, "enabled": false}]})");
}

json esmcOutput(json id, const char* interface, bool held, int information, json refused = nullptr) {
    return {{"id", id},
            {"held", held},
            {"interface", interface},
            {"namespace", "ns"},
            {"pdus", {{"information", information}, {"event", 1}}},
            {"sendErrors", 3},
            {"refused", refused}};
}

json esmcd() {
    // Output 12 is the daemon's TnPort-B, refused; the held one is TnPort-C by its place; nobody
    // names fh9.
    return {{"outputs",
             {esmcOutput(12, "fh2", false, 10, {{"code", 2}, {"cause", "no such interface"}}),
              esmcOutput(nullptr, "fh3", true, 20), esmcOutput(nullptr, "fh9", true, 30)}}};
}

json clockd(bool tracked) {
    return {{"grandmaster", {{"tracked", tracked}, {"clockClass", 6}}}};
}

struct Documents {
    json status = daemonStatus(), outputs = daemonOutputs(), ports = portd(), esmc = esmcd(),
         clock = clockd(true);
};

NodeMetrics::Answers answersOf(const Documents& d) {
    NodeMetrics::Answers answers;
    answers[NodeMetrics::DAEMON] = NodeMetrics::read({d.outputs.dump(), d.status.dump()});
    answers[NodeMetrics::ESMCD] = NodeMetrics::read({d.esmc.dump()});
    answers[NodeMetrics::PORTD] = NodeMetrics::read({d.ports.dump()});
    answers[NodeMetrics::CLOCKD] = NodeMetrics::read({d.clock.dump()});
    return answers;
}

bool has(const std::string& text, const std::string& line) {
    return ("\n" + text).find("\n" + line + "\n") != std::string::npos;
}

class NodeMetricsTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { SyncSys::Log::silence(); }
};

TEST_F(NodeMetricsTest, EveryFamilyFromItsSourceAndEsmcSeriesNamedByTheirPort) {
    NodeMetrics metrics;
    const std::string text = metrics.metrics(answersOf(Documents())).text();
    for (const char* line : {"sync_up{source=\"daemon\"} 1",
                             "sync_up{source=\"esmcd\"} 1",
                             "sync_up{source=\"portd\"} 1",
                             "sync_up{source=\"clockd\"} 1",
                             "sync_rec_active 1",
                             "sync_settled_quality_level 1",
                             "sync_settled_quality_info{quality=\"PRC\"} 1",
                             "sync_peer_connected{peer=\"port_control\"} 1",
                             "sync_peer_connected{peer=\"data_plane\"} 0",
                             "sync_output_enabled{port=\"TnPort-A\"} 1",
                             "sync_output_enabled{port=\"TnPort-B\"} 0",
                             "sync_output_ssm{port=\"TnPort-A\"} 2",
                             "sync_output_enhanced_ssm{port=\"TnPort-B\"} 255",
                             "sync_port_unlocked{port=\"TnPort-C\"} 1",
                             "sync_port_enabled{port=\"TnPort-C\"} 0",
                             "sync_esmc_pdus_total{port=\"TnPort-B\",kind=\"information\"} 10",
                             "sync_esmc_pdus_total{port=\"TnPort-C\",kind=\"event\"} 1",
                             "sync_esmc_send_errors_total{port=\"TnPort-B\"} 3",
                             "sync_esmc_output_held{port=\"TnPort-C\"} 1",
                             "sync_esmc_output_held{port=\"TnPort-B\"} 0",
                             "sync_ptp_grandmaster_present 1",
                             "sync_ptp_grandmaster_clock_class 6",
                             "# TYPE sync_esmc_pdus_total counter"})
        EXPECT_TRUE(has(text, line)) << line << "\nin\n" << text;
    EXPECT_EQ(text.find("fh9"), std::string::npos);
    EXPECT_EQ(text.find("TnPort-A\",kind"), std::string::npos) << "sync-esmcd has no output of TnPort-A";
    EXPECT_LT(text.find("# HELP sync_up "), text.find("# HELP sync_rec_active ")) << "the table's order";

    // No grandmaster tracked: present 0 and no class.
    Documents lost;
    lost.clock = clockd(false);
    const std::string without = metrics.metrics(answersOf(lost)).text();
    EXPECT_TRUE(has(without, "sync_ptp_grandmaster_present 0"));
    EXPECT_EQ(without.find("sync_ptp_grandmaster_clock_class"), std::string::npos);
}

TEST_F(NodeMetricsTest, ASourceThatAnsweredWrongIsDroppedWholeAndTheOthersStay) {
    using Spoil = std::function<void(Documents&)>;
    using Cut = std::function<void(NodeMetrics::Answer&)>;
    const struct {
        const char* what;
        NodeMetrics::Source source;
        Spoil spoil;       // of a document
        Cut cut;           // of the answer
        const char* gone;  // a series of the source that must be absent
    } cases[] = {
        {"did not answer",
         NodeMetrics::PORTD,
         {},
         [](NodeMetrics::Answer& a) { a = {}; },
         "sync_port_enabled"},
        {"not JSON",
         NodeMetrics::CLOCKD,
         {},
         [](NodeMetrics::Answer& a) { a = NodeMetrics::read({"{\"grandmaster\": "}); },
         "sync_ptp_grandmaster_present"},
        {"one of the daemon's two answers",
         NodeMetrics::DAEMON,
         {},
         [](NodeMetrics::Answer& a) { a.documents.pop_back(); },
         "sync_rec_active"},
        {"a field missing half-way",
         NodeMetrics::DAEMON,
         [](Documents& d) { d.outputs["outputs"]["items"][1].erase("ssm"); },
         {},
         "sync_output_ssm{port=\"TnPort-A\"}"},
        {"a negative count",
         NodeMetrics::ESMCD,
         [](Documents& d) { d.esmc["outputs"][1]["sendErrors"] = -1; },
         {},
         "sync_esmc_pdus_total{port=\"TnPort-B\""},
        {"a text for a flag",
         NodeMetrics::PORTD,
         [](Documents& d) { d.ports["ports"][0]["enabled"] = "yes"; },
         {},
         "sync_port_unlocked"},
        {"a port named twice",
         NodeMetrics::PORTD,
         [](Documents& d) { d.ports["ports"][1]["name"] = "TnPort-A"; },
         {},
         "sync_port_unlocked"},
        {"a list that is none",
         NodeMetrics::ESMCD,
         [](Documents& d) { d.esmc["outputs"] = json::object(); },
         {},
         "sync_esmc_output_held"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Documents documents;
        if (c.spoil)
            c.spoil(documents);
        NodeMetrics::Answers answers = answersOf(documents);
        if (c.cut)
            c.cut(answers[c.source]);
        NodeMetrics metrics;
        const std::string text = metrics.metrics(answers).text();
        for (int source = 0; source < NodeMetrics::SOURCE_COUNT; ++source)
            EXPECT_TRUE(has(text, std::string("sync_up{source=\"") +
                                      NodeMetrics::label(NodeMetrics::Source(source)) + "\"} " +
                                      (source == c.source ? "0" : "1")))
                << text;
        EXPECT_EQ(text.find(c.gone), std::string::npos) << text;
        EXPECT_NE(
            text.find(c.source == NodeMetrics::CLOCKD ? "sync_rec_active" : "sync_ptp_grandmaster_present"),
            std::string::npos);
    }
}

TEST(ExpositionTest, LabelValuesAreEscapedAndMadeUtf8) {
    const struct {
        std::string value;
        std::string written;
    } cases[] = {
        {"TnPort-A", "\"TnPort-A\""},
        {"a\"b\\c\nd", "\"a\\\"b\\\\c\\nd\""},
        {"Port-\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80",
         "\"Port-\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\""},             // kept
        {"\xFF", "\"\xEF\xBF\xBD\""},                                  // never UTF-8
        {"\xC3", "\"\xEF\xBF\xBD\""},                                  // cut short
        {"\xC0\xAF", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},                  // overlong
        {"\xED\xA0\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},  // a surrogate
        {std::string("a\0b", 3), std::string("\"a\0b\"", 5)},
    };
    for (const auto& c : cases) {
        Exposition exposition;
        exposition.add(Metric::PORT_ENABLED, {c.value}, 1);
        EXPECT_TRUE(has(exposition.text(), "sync_port_enabled{port=" + c.written + "} 1"))
            << exposition.text();
    }
}

}  // namespace
