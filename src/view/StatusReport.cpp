#include "view/StatusReport.h"

#include <cstdio>

#include "common_fwk_classes/utilities/FeatureValues.h"
#include "common_fwk_classes/utilities/PortProperties.h"
#include "common_fwk_classes/utilities/QualityLevel.h"
#include "control/CastTo.h"
#include "journal/PeerStatus.h"
#include "model/Model.h"
#include "model/output/FronthaulSyncEthOutputFeature.h"
#include "model/output/SyncEthOutput.h"
#include "model/port/EthernetPort.h"
#include "view/InfoDocument.h"
#include "view/TimeText.h"

namespace Sync {
namespace LumovControl {

namespace {

using json = nlohmann::ordered_json;

// How the text names each peer, in the order of PeerStatus::Peer.
const char* const PEER_TITLES[] = {"Port control", "Sync control", "Data plane", "Command server"};

std::string row(const char* title, const std::string& value) {
    char text[256];
    std::snprintf(text, sizeof text, "%-22s : ", title);
    return text + value;
}

}  // namespace

StatusReport::StatusReport(Model& model) {
    if (EthCentral::SyncEthOutputFeature* feature = model.fronthaulOutputFeature()) {
        recState_ = feature->getRecState();
        quality_ = feature->getClockSettledQuality();
        mode_ = feature->getSelectionProcessMode();
        standard_ = feature->getTelecomStandard();
        for (DomainEntity* entity : *feature->myFactory()) {
            ++outputs_;
            outputsEnabled_ += castTo<EthCentral::SyncEthOutput>(entity)->isOutputEnabled() ? 1 : 0;
        }
    }
    for (DomainEntity* entity : *model.getPortFactory()) {
        const EthCentral::EthernetData& data = castTo<EthCentral::EthernetPort>(entity)->getEthernetData();
        ++ports_;
        portsUnlocked_ += data.administrativeState == static_cast<uint32_t>(AdministrativeState::UNLOCKED);
        portsEnabled_ += data.operationalState == static_cast<uint32_t>(OperationalState::ENABLED);
    }
}

json StatusReport::toJson() const {
    json document = InfoDocument::header("status");
    document["recState"] = toChar(RecState(recState_));
    document["clockSettledQuality"] = InfoDocument::quality(quality_);
    document["selectionProcessMode"] = toChar(SelectionProcessMode(mode_));
    document["telecomStandard"] = toChar(TelecomStandard(standard_));
    document["peers"] = InfoDocument::peers();
    document["outputs"] = {
        {"total", outputs_}, {"enabled", outputsEnabled_}, {"disabled", outputs_ - outputsEnabled_}};
    document["ports"] = {{"total", ports_}, {"unlocked", portsUnlocked_}, {"enabled", portsEnabled_}};
    return document;
}

std::vector<std::string> StatusReport::lines() const {
    std::vector<std::string> text{row("REC", toChar(RecState(recState_))),
                                  row("Settled quality", std::string(toChar(ClockQuality(quality_))) + " (" +
                                                             std::to_string(quality_) + ")"),
                                  row("Selection process mode", toChar(SelectionProcessMode(mode_))),
                                  row("Telecom standard", toChar(TelecomStandard(standard_)))};
    for (uint32_t peer = 0; peer < PeerStatus::PEER_COUNT; ++peer) {
        const PeerStatus::Link& link = PeerStatus::link(static_cast<PeerStatus::Peer>(peer));
        std::string value =
            std::string(PeerStatus::stateName(link.state)) + " since " + TimeText::local(link.since);
        if (link.mailbox != 0)
            value += " (mailbox " + std::to_string(link.mailbox) + ")";
        text.push_back(row(PEER_TITLES[peer], value));
    }
    text.push_back(row("Outputs", std::to_string(outputs_) + " total, " + std::to_string(outputsEnabled_) +
                                      " enabled, " + std::to_string(outputs_ - outputsEnabled_) +
                                      " disabled"));
    text.push_back(row("Ports", std::to_string(ports_) + " total, " + std::to_string(portsUnlocked_) +
                                    " unlocked, " + std::to_string(portsEnabled_) + " enabled"));
    return text;
}

std::string StatusReport::summaryLine() const {
    std::string connected;
    for (uint32_t peer = 0; peer < PeerStatus::PEER_COUNT; ++peer) {
        if (PeerStatus::link(static_cast<PeerStatus::Peer>(peer)).state == PeerStatus::CONNECTED)
            connected += std::string(connected.empty() ? "" : " ") +
                         PeerStatus::name(static_cast<PeerStatus::Peer>(peer));
    }
    return std::to_string(outputs_) + " outputs (" + std::to_string(outputsEnabled_) +
           " enabled), settled quality " + toChar(ClockQuality(quality_)) +
           ", connected: " + (connected.empty() ? "none" : connected);
}

}  // namespace LumovControl
}  // namespace Sync
