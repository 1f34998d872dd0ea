// The SyncE output of one Ethernet port. It decides whether the port is ready to be configured for
// SyncE, which quality level the port transmits in its ESMC messages and when the data plane must be
// told. It tells nobody directly: it raises its events on itself, and the data-plane side reads the
// values back with the getters. The quality itself belongs to the output feature; the output adds the
// per-port rules (do-not-use towards the port or LAG of the active reference, ports that cannot
// carry SyncE).
#ifndef SYNC_ETHCENTRAL_SYNCETHOUTPUT_H
#define SYNC_ETHCENTRAL_SYNCETHOUTPUT_H

#include <cstdint>
#include <optional>
#include <string>

#include "common_fwk_classes/utilities/PortProperties.h"
#include "eventHandling/DomainEntity.h"
#include "eventHandling/Event.h"
#include "journal/EventJournal.h"

namespace Sync {
namespace EthCentral {

class EthernetPort;
class SyncEthOutputFeature;

class SyncEthOutput : public DomainEntity {
  public:
    // The port is ready (again) for the data plane: create or change its configuration.
    struct SYNCETHOUTPUT_CONFIGURED_EVENT : Event<SYNCETHOUTPUT_CONFIGURED_EVENT> {};
    // The output is gone, or its port must not carry it: remove its configuration.
    struct SYNCETHOUTPUT_DELETED_EVENT : Event<SYNCETHOUTPUT_DELETED_EVENT> {};
    // What the output transmits may have changed: send the SSM codes and the extended QL TLV.
    struct SYNCETHOUTPUT_TRANSMIT_SSM_IND_EVENT : Event<SYNCETHOUTPUT_TRANSMIT_SSM_IND_EVENT> {};
    // Whether ESMC is enabled may have changed: send isOutputEnabled.
    struct SYNCETHOUTPUT_ESMC_CONTROL_IND_EVENT : Event<SYNCETHOUTPUT_ESMC_CONTROL_IND_EVENT> {};

    // What an output transmits when it must not be used as a reference.
    static constexpr uint32_t DO_NOT_USE_SSM_CODE = 0xF;
    static constexpr uint32_t NO_ENHANCED_SSM_CODE = 0xFF;

    SyncEthOutput(IDomainEntityFactory* factory, uint32_t id);
    ~SyncEthOutput() override;
    SyncEthOutput(const SyncEthOutput&) = delete;
    SyncEthOutput& operator=(const SyncEthOutput&) = delete;

    void activate() override;
    // Raises SYNCETHOUTPUT_DELETED_EVENT.
    void deactivate() override;
    virtual void init(SyncEthOutputFeature* owner);
    // Binds the port (not owned) and announces the output if the port is ready.
    virtual void setEthernetPort(EthernetPort* port);
    // The bound port; an output without one is a coding error that stops the process.
    virtual EthernetPort* getEthernetPort() const;
    virtual uint32_t getEthernetPortId() const;
    virtual bool isOutputEnabled() const;
    virtual bool isLagPortChanged() const;
    virtual uint32_t getSsmCode() const;
    virtual void notifyEthernetPortChanged();
    virtual void notifyLagPortChanged();
    // After the data plane confirmed the configuration: the quality first, the enable state second.
    virtual void notifyInitialData();
    virtual uint32_t getEnhancedSsmCode() const;
    virtual uint64_t getSyncEMasterId() const;
    virtual uint8_t getFlag() const;
    virtual uint8_t getNumberCascadedEnhancedEec() const;
    virtual uint8_t getNumberCascadedEec() const;
    virtual void print();
    virtual void sendSyncEthOutputConfiguredEvent();
    // Whether sendSyncEthOutputConfiguredEvent would announce the output now: what a data-plane client
    // that has just connected must be told of.
    virtual bool isReadyForSecli() const;
    virtual bool isSamePortWithActiveReference() const;
    virtual bool isSamLagPortWithActiveReference() const;

    bool isEthernetPortInitiatedForSecli() const;
    bool isEthernetPortChangedForSecli() const;
    bool isEthernetPortLagConfigured() const;
    bool isSynceSupportable(SfpKind kind, uint32_t linkSpeed, uint32_t masterSlaveMode,
                            uint32_t duplexMode) const;
    bool isEthernetPortSupportable() const;
    bool wasEthernetPortSupportable() const;
    bool isEthernetPortSupportableChanged() const;

    // The orders the data-plane server sent about this output and the client's answers to them.
    struct OrderCounts {
        uint64_t sent = 0;
        uint64_t confirmed = 0;
        uint64_t rejected = 0;
        std::optional<uint32_t> lastRejectCode;
    };
    OrderCounts& orderCounts() { return orders_; }
    const OrderCounts& orderCounts() const { return orders_; }

    // After a transmit-SSM or ESMC-control event, tells the operator's journal what changed in what
    // the output announces (SSM, enhanced SSM, enabled) since it was created.
    using DomainEntity::sendEvent;
    void sendEvent(PolymorphEvent& event) override;
    // The journal entries of the output's creation (which fixes what it announces from then on) and
    // removal; the feature calls them.
    void journalCreated();
    void journalRemoved();

    SyncEthOutputFeature* getFeature() const { return feature; }
    // The bound port, or null; never stops the process.
    EthernetPort* peekEthernetPort() const { return ethernetPort; }

  protected:
    SyncEthOutputFeature* feature;
    EthernetPort* ethernetPort;

  private:
    struct Announced {
        bool enabled;
        uint32_t ssm;
        uint32_t enhancedSsm;
    };
    Announced announcement() const;
    // Journals what changed in the announcement since the last review.
    void reviewAnnouncement();
    void journal(EventJournal::Kind kind, const std::string& what, const EventJournal::Fields& extra = {});

    std::optional<Announced> announced_;
    OrderCounts orders_;

    // The do-not-use rule shared by both SSM codes: the port or LAG carries the active reference, or
    // the port cannot carry SyncE at all.
    bool mustTransmitDoNotUse() const;
};

}  // namespace EthCentral
}  // namespace Sync

#endif
