// The feature of type SYNCETH_OUTPUT: owns the SyncE outputs, one per Ethernet port, and holds the
// node-wide data every output transmits (REC state, selection process mode, clock settled quality,
// telecom standard, active reference, extended QL TLV). Whenever one of these changes in a way that
// alters what the outputs send, it raises the matching event on every output (or on the outputs of
// one LAG). As a sync-control client entity it subscribes to the data it needs, and it keeps a short
// history of the settled quality levels for the command printout.
//
// Outputs are found by id, port id and port ldn through indexes kept beside the output factory; each
// lookup answers the output that a walk of the factory in index order would find first.
#ifndef SYNC_ETHCENTRAL_SYNCETHOUTPUTFEATURE_H
#define SYNC_ETHCENTRAL_SYNCETHOUTPUTFEATURE_H

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "common_fwk_classes/sci/ClientEntity.h"
#include "common_fwk_classes/utilities/UniqueIdPool.h"
#include "eventHandling/DomainEntity.h"
#include "model/port/EthernetPortLdnObserver.h"
#include "vorn.h"

namespace Sync {

class PolymorphEvent;

namespace EthCentral {

class EthernetPort;
class SyncEthOutput;

class SyncEthOutputFeature : public DomainEntity, public Sci::ClientEntity, private EthernetPortLdnObserver {
  public:
    class SyncEthOutputFactory;  // model/output/SyncEthOutputFactory.h

    static constexpr uint32_t REC_NOT_CREATED = 0;
    static constexpr uint32_t REC_CREATED = 1;
    static constexpr uint32_t INITIAL_SELECTION_PROCESS_MODE = 2;  // QL_DISABLED
    static constexpr uint32_t INITIAL_CLOCK_SETTLED_QUALITY = 15;  // QL_UNKNOWN
    static constexpr uint32_t INITIAL_TELECOM_STANDARD = 1;        // OPTION_I
    static constexpr uint8_t INITIAL_FLAG = 0x02;
    static constexpr uint8_t INITIAL_NUMBER_CASCADED_EEEC = 1;
    static constexpr uint8_t INITIAL_NUMBER_CASCADED_EEC = 0;
    static constexpr uint32_t QL_HISTORY_ENTRIES = 10;

    SyncEthOutputFeature(IDomainEntityFactory* factory, uint32_t id);
    // Deletes the output factory with its outputs. The ports the outputs are bound to must still exist.
    ~SyncEthOutputFeature() override;
    SyncEthOutputFeature(const SyncEthOutputFeature&) = delete;
    SyncEthOutputFeature& operator=(const SyncEthOutputFeature&) = delete;

    // The concrete feature supplies the output factory in activate.
    void activate() override = 0;
    void deactivate() override = 0;

    // The id of the port's output, creating it if needed; 0 while no REC exists.
    virtual uint32_t createSyncEthOutput(EthernetPort* port);
    // Deactivates the output (which raises its deleted event) and destroys it.
    virtual bool deleteSyncEthOutput(SyncEthOutput* output);
    virtual void deleteSyncEthOutputs();
    // Raises event on every output, in index order.
    virtual void notifySyncEthOutputsAboutEvent(PolymorphEvent& event);
    virtual void notifyTransmitSsmOfLagPort(const std::string& lagPortLdn);
    virtual void notifySyncEthOutputsAboutLagPort(PolymorphEvent& event, const std::string& lagPortLdn);
    // Null when there is no such output.
    virtual SyncEthOutput* findSyncEthOutput(uint32_t id);
    virtual SyncEthOutput* findSyncEthOutputByPortId(uint32_t portId);
    virtual SyncEthOutput* findSyncEthOutputByEncapsulation(const std::string& ldn);
    virtual void updateExtendedQlTlvInfo(uint64_t newSyncEMasterId, uint8_t newFlag,
                                         uint8_t numberCascadedEnhancedEec, uint8_t newNumberCascadedEec);
    // broken: the selected reference is not a SyncE input (true), or no reference is selected (false).
    virtual void updateExtendedQlTlvInfoByBrokenAndInit(bool broken);
    virtual void printFeatureInfo();
    virtual void printOutputs();
    virtual void subscribeSciInfo();
    virtual void updateRecCreate();
    virtual void updateRecDelete();
    virtual uint32_t getRecState() const;
    virtual void setRecState(uint32_t state);
    virtual void updateSelectionProcessMode(uint32_t mode);
    virtual uint32_t getSelectionProcessMode() const;
    virtual void setSelectionProcessMode(uint32_t mode);
    virtual void updateClockSettledQuality(uint32_t quality);
    virtual uint32_t getClockSettledQuality() const;
    virtual void setClockSettledQuality(uint32_t quality);
    virtual void updateActiveReference(const std::string& newSelectedReferenceLdn,
                                       const std::string& portOfActiveReference);
    virtual void updateLagPortOfActiveReference(const std::string& lagPortLdn);
    virtual const std::string& getSelectedRef() const;
    virtual void setSelectedRef(const std::string& ldn);
    virtual const std::string& getPortOfActiveReference() const;
    virtual void setPortOfActiveReference(const std::string& ldn);
    virtual const std::string& getLagPortLdnOfActiveReference() const;
    virtual void setLagPortLdnOfActiveReference(const std::string& ldn);
    virtual void updateTelecomStandard(uint32_t standard);
    virtual uint32_t getTelecomStandard() const;
    virtual void setTelecomStandard(uint32_t standard);
    // The modified EUI-64 of a 6-byte MAC address becomes this node's SyncE master id.
    virtual void setMySyncEMasterId(const uint8_t* macAddress);
    virtual uint64_t getMySyncEMasterId() const;
    virtual uint64_t getSyncEMasterId() const;
    virtual uint8_t getFlag() const;
    virtual uint8_t getNumberCascadedEeec() const;
    virtual uint8_t getNumberCascadedEec() const;
    virtual uint32_t getFeatureType() const;
    // The LAG port ldn of the port with that ldn, among ports that have an output; "NONE" otherwise.
    virtual std::string findLagPortLdnByPortOfActiveReference(const std::string& portLdn);
    virtual void notifyTransmitSsm();
    // The output factory; a feature without one is a coding error that stops the process.
    virtual SyncEthOutputFactory* myFactory();

    uint32_t getClientEntityId() const override;

    // One entry of the settled quality history: when the quality became what it is.
    struct QualityRecord {
        timespec stamp;
        uint32_t quality;
    };
    // The history the feature printout shows, oldest first.
    std::vector<QualityRecord> getQualityHistory() const;

    // Called by an output whose port binding changed (previous is the port it was bound to, or null),
    // before the output announces itself: keeps the finders' indexes current.
    void syncEthOutputPortChanged(SyncEthOutput& output, EthernetPort* previous);

  protected:
    std::unique_ptr<SyncEthOutputFactory> syncEthOutputFactory_;
    UniqueIdPool outputIdPool;
    uint32_t recState;
    uint32_t selectionProcessMode;
    uint32_t clockSettledQuality;
    sync_vorn_t* qlHistory;
    uint32_t telecomStandard;
    std::string selectedReferenceLdn;
    std::string portOfActiveReferenceLdn;
    std::string lagPortLdnOfActiveReference;
    uint64_t mySyncEMasterId;
    uint64_t syncEMasterId;
    uint8_t flag;
    uint8_t numberCascadedEeec;
    uint8_t numberCascadedEec;

  private:
    // Where an output is filed in the indexes.
    struct IndexedPort {
        EthernetPort* port;
        uint32_t portId;
        std::string ldn;
    };

    void ethernetPortLdnChanged(EthernetPort& port, const std::string& previousLdn) override;

    // The registered output with that id, or null.
    SyncEthOutput* registeredOutput(uint32_t id);
    // The output the index-order walk would find first for a port ldn or port id; no traces.
    SyncEthOutput* lookupByPortLdn(const std::string& ldn);
    SyncEthOutput* lookupByPortId(uint32_t portId);
    void indexOutput(uint32_t outputId, EthernetPort* port);
    void unindexOutput(uint32_t outputId);
    bool isPortIndexed(const EthernetPort* port, uint32_t portId) const;
    void printQualityHistory();

    std::map<uint32_t, IndexedPort> indexedPorts_;                 // by output id
    std::set<std::pair<uint32_t, uint32_t>> outputsByPortId_;      // (port id, output id)
    std::set<std::pair<std::string, uint32_t>> outputsByPortLdn_;  // (port ldn, output id)
};

}  // namespace EthCentral
}  // namespace Sync

#endif
