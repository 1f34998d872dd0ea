#ifndef SYNC_SCI_SIMPLESERVICEPRIMITIVES_H
#define SYNC_SCI_SIMPLESERVICEPRIMITIVES_H

#include <cstdint>
#include <string>

#include "common_fwk_classes/sci/Messages.h"
#include "common_fwk_classes/sci/PlainPrimitive.h"
#include "common_fwk_classes/sci/TextPrimitive.h"
#include "common_fwk_classes/sci/ValuePrimitive.h"

// The service messages with no payload or a single field, instantiated from the shape templates. The
// one-field classes only add the field's own name to the template's accessors.
namespace Sync {
namespace Sci {

using RecCreateInd = PlainPrimitive<Messages::RecData::REC_CREATE_IND>;
using RecDeleteInd = PlainPrimitive<Messages::RecData::REC_DELETE_IND>;
using BfnJumpAlertInd = PlainPrimitive<Messages::BfnJumpAlert::IND>;

class RadioClockStateInd : public ValuePrimitive<Messages::RadioClockState::IND> {
  public:
    uint32_t getRadioClockState() const { return getValue(); }
    void setRadioClockState(uint32_t value) { setValue(value); }
};

class CandidatedReferenceInd : public ValuePrimitive<Messages::CandidatedReference::IND> {
  public:
    uint32_t getCandidatedReference() const { return getValue(); }
    void setCandidatedReference(uint32_t value) { setValue(value); }
};

class FixedPositionStatusInd : public ValuePrimitive<Messages::FixedPositionStatus::IND> {
  public:
    uint32_t getFixedPositionStatus() const { return getValue(); }
    void setFixedPositionStatus(uint32_t value) { setValue(value); }
};

class RecSelectionProcessModeInd : public ValuePrimitive<Messages::RecData::REC_SELECTION_PROCESS_MODE_IND> {
  public:
    uint32_t getSelectionProcessMode() const { return getValue(); }
    void setSelectionProcessMode(uint32_t value) { setValue(value); }
};

class RecClockSettledQualityInd : public ValuePrimitive<Messages::RecData::REC_CLOCK_SETTLED_QUALITY_IND> {
  public:
    uint32_t getClockSettledQuality() const { return getValue(); }
    void setClockSettledQuality(uint32_t value) { setValue(value); }
};

class TelecomStandardInd : public ValuePrimitive<Messages::TelecomStandard::IND> {
  public:
    uint32_t getTelecomStandard() const { return getValue(); }
    void setTelecomStandard(uint32_t value) { setValue(value); }
};

class TimeErrorInd : public ValuePrimitive<Messages::TimeError::IND> {
  public:
    uint32_t getTimeError() const { return getValue(); }
    void setTimeError(uint32_t value) { setValue(value); }
};

class FhNodePrioInd : public ValuePrimitive<Messages::FhNodePrio::IND> {
  public:
    uint32_t getNodePrio() const { return getValue(); }
    void setNodePrio(uint32_t value) { setValue(value); }
};

class OverridePtpDataInd : public ValuePrimitive<Messages::OverridePtpData::IND, uint8_t> {
  public:
    uint8_t getClockClass() const { return getValue(); }
    void setClockClass(uint8_t value) { setValue(value); }
};

class NgsBfnAlignRsp : public ValuePrimitive<Messages::Service::NGS_BFN_ALIGN_RSP> {
  public:
    uint32_t getResult() const { return getValue(); }
    void setResult(uint32_t value) { setValue(value); }
};

class PassiveMonitoringConfiguredFwd
    : public ValuePrimitive<Messages::Service::PASSIVE_MONITORING_CONFIGURED_FWD, uint8_t> {
  public:
    uint8_t getPassiveMonitoring() const { return getValue(); }
    void setPassiveMonitoring(uint8_t value) { setValue(value); }
};

using CandidateAssistRefInd = TextPrimitive<Messages::CandidateAssistRef::IND>;

class NgsBfnAlignReq : public TextPrimitive<Messages::Service::NGS_BFN_ALIGN_REQ> {
  public:
    const std::string& getSelectedSoccLdn() const { return getLdn(); }
    void setSelectedSoccLdn(const std::string& value) { setLdn(value); }
};

}  // namespace Sci
}  // namespace Sync

#endif
