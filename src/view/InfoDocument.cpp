#include "view/InfoDocument.h"

#include <chrono>
#include <cstdio>
#include <utility>

#include "common_fwk_classes/utilities/FeatureValues.h"
#include "common_fwk_classes/utilities/PortProperties.h"
#include "common_fwk_classes/utilities/QualityLevel.h"
#include "control/CastTo.h"
#include "journal/PeerStatus.h"
#include "model/Model.h"
#include "model/output/FronthaulSyncEthOutput.h"
#include "model/output/FronthaulSyncEthOutputFeature.h"
#include "model/port/FronthaulEthernetPort.h"
#include "view/TimeText.h"

namespace Sync {
namespace LumovControl {

namespace {

using json = nlohmann::ordered_json;

std::string hex64(uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "%016lx", static_cast<unsigned long>(value));
    return text;
}

// Numbers the text printout writes with %d: a value never reported (0xFFFFFFFF) reads -1 there.
int32_t asPrinted(uint32_t value) {
    return static_cast<int32_t>(value);
}

const char* administrativeStateName(uint32_t state) {
    const char* name = toChar(AdministrativeState(state));
    return *name != '\0' ? name : "UNKNOWN";
}

}  // namespace

json InfoDocument::build(Model& model, const std::string& selection) {
    json document = header("info");
    document["selection"] = selection;
    document["peers"] = peers();
    const bool all = selection == "all";
    if (all || selection == "feature")
        document["feature"] = feature(model);
    if (all || selection == "output")
        document["outputs"] = outputs(model);
    if (all || selection == "ethernet")
        document["ports"] = ports(model);
    return document;
}

json InfoDocument::header(const char* command) {
    return json{{"schemaVersion", SCHEMA_VERSION},
                {"command", command},
                {"daemon", {{"version", SYNC_VERSION}}},
                {"completedAt", TimeText::iso8601(std::chrono::system_clock::now())}};
}

json InfoDocument::peers() {
    json all = json::object();
    for (uint32_t peer = 0; peer < PeerStatus::PEER_COUNT; ++peer) {
        const PeerStatus::Link& link = PeerStatus::link(static_cast<PeerStatus::Peer>(peer));
        json entry{{"state", PeerStatus::stateName(link.state)},
                   {"connected", link.state == PeerStatus::CONNECTED},
                   {"since", TimeText::iso8601(link.since)},
                   {"mailbox", nullptr}};
        if (link.mailbox != 0)
            entry["mailbox"] = link.mailbox;
        all[PeerStatus::name(static_cast<PeerStatus::Peer>(peer))] = entry;
    }
    return all;
}

json InfoDocument::quality(uint32_t value) {
    return json{{"value", value}, {"name", toChar(ClockQuality(value))}};
}

json InfoDocument::feature(Model& model) {
    EthCentral::SyncEthOutputFeature* feature = model.fronthaulOutputFeature();
    if (feature == nullptr)
        return nullptr;
    json history = json::array();
    for (const EthCentral::SyncEthOutputFeature::QualityRecord& record : feature->getQualityHistory()) {
        json entry = quality(record.quality);
        entry["time"] = TimeText::iso8601(record.stamp);
        history.push_back(entry);
    }
    return json{{"recState", toChar(RecState(feature->getRecState()))},
                {"selectionProcessMode", toChar(SelectionProcessMode(feature->getSelectionProcessMode()))},
                {"clockSettledQuality", quality(feature->getClockSettledQuality())},
                {"selectedReferenceLdn", feature->getSelectedRef()},
                {"portOfActiveReferenceLdn", feature->getPortOfActiveReference()},
                {"lagPortLdnOfActiveReference", feature->getLagPortLdnOfActiveReference()},
                {"telecomStandard", toChar(TelecomStandard(feature->getTelecomStandard()))},
                {"mySyncEMasterId", hex64(feature->getMySyncEMasterId())},
                {"syncEMasterId", hex64(feature->getSyncEMasterId())},
                {"flag", feature->getFlag()},
                {"numberCascadedEeec", feature->getNumberCascadedEeec()},
                {"numberCascadedEec", feature->getNumberCascadedEec()},
                {"qualityHistory", history}};
}

json InfoDocument::outputs(Model& model) {
    json items = json::array();
    FronthaulSyncEthOutputFeature* feature = model.fronthaulOutputFeature();
    if (feature != nullptr) {
        for (DomainEntity* entity : *feature->myFactory()) {
            auto* output = castTo<FronthaulSyncEthOutput>(entity);
            const EthCentral::SyncEthOutput::OrderCounts& orders = output->orderCounts();
            json lastRejectCode = nullptr;
            if (orders.lastRejectCode)
                lastRejectCode = *orders.lastRejectCode;
            items.push_back({{"id", output->getEntityId()},
                             {"port", output->getEthernetPort()->getLdn()},
                             {"active", output->isPortUp()},
                             {"ssm", output->getSsmCode()},
                             {"enhancedSsmCode", output->getEnhancedSsmCode() & 0xFFu},
                             {"synceOutputEnabled", output->isOutputEnabled()},
                             {"orders",
                              {{"sent", orders.sent},
                               {"confirmed", orders.confirmed},
                               {"rejected", orders.rejected},
                               {"lastRejectCode", lastRejectCode}}}});
        }
    }
    const size_t total = items.size();
    return json{{"total", total}, {"items", std::move(items)}};
}

json InfoDocument::ports(Model& model) {
    json items = json::array();
    for (DomainEntity* entity : *model.getPortFactory()) {
        auto* port = castTo<FronthaulEthernetPort>(entity);
        const EthCentral::EthernetData& data = port->getEthernetData();
        json availability = json::array();
        for (uint32_t status : data.availabilityStatus)
            availability.push_back(status != 0);
        items.push_back({{"id", port->getEntityId()},
                         {"ldn", data.ldn},
                         {"tnportName", data.tnportName},
                         {"macAddress", data.macAddress},
                         {"interfaceName", data.interfaceName},
                         {"networkNamespace", data.networkNamespace},
                         {"rhaiId", asPrinted(data.rhaiId)},
                         {"vlanId", asPrinted(data.vlanId)},
                         {"iepcsiId", asPrinted(port->getIepcsiId())},
                         {"iepcsiLdn", data.interfaceName},
                         {"iepcsiRole", asPrinted(port->getIepcsiRole())},
                         {"administrativeState", administrativeStateName(data.administrativeState)},
                         {"operationalState", toChar(OperationalState(data.operationalState))},
                         {"availabilityStatus", availability},
                         {"isLag", asPrinted(data.isLag)},
                         {"lagPortLdn", data.lagPortLdn}});
    }
    const size_t total = items.size();
    return json{{"total", total}, {"items", std::move(items)}};
}

}  // namespace LumovControl
}  // namespace Sync
