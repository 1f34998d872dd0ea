// The root of the SyncE domain model: owns the feature factory and the Ethernet-port factory, and is
// the single entry through which the model handler hands every external notification (sync-control
// data, data-plane confirmations, command printouts) to the feature it concerns. Abstract: the
// concrete model supplies the two factories.
//
// Ports are found by id through the port factory and by ldn through an index kept beside it, so no
// lookup walks all ports; each answers the port that a walk of the factory in index order would find
// first.
#ifndef SYNC_ETHCENTRAL_BASEMODEL_H
#define SYNC_ETHCENTRAL_BASEMODEL_H

#include <cstdint>
#include <set>
#include <string>
#include <utility>

#include "common_fwk_classes/utilities/UniqueIdPool.h"
#include "eventHandling/DomainEntityFactory.h"
#include "model/port/EthernetPortLdnObserver.h"

namespace Sync {

class AbstractObject;
class PolymorphEvent;

namespace EthCentral {

class EthernetPort;
class SyncEthInput;
class SyncEthInputFeature;
class SyncEthOutput;
class SyncEthOutputFeature;

class BaseModel : private EthernetPortLdnObserver {
  public:
    // A feature's entity id is its type.
    static constexpr uint32_t SYNCETH_INPUT = 0;
    static constexpr uint32_t SYNCETH_OUTPUT = 1;
    // Passed as creation parameter where the factory needs none.
    static constexpr uint32_t NO_PARAM = 0xFFFFFFFF;

    // Holds the features, at most one (factory kind 1). The concrete factory makes the features.
    class FeatureFactory : public DomainEntityFactory {
      public:
        static constexpr uint32_t FACTORY_TYPE = 1;
        static constexpr uint32_t MAX_FEATURES = 1;

        FeatureFactory();
        // The feature of that type, or null when the factory makes none of it.
        virtual DomainEntity* createObject(uint32_t type) = 0;

      protected:
        DomainEntity* createEntity(uint32_t entityId, uint32_t param) override;
    };

    // Holds the Ethernet ports (factory kind 2, at most 65535). The concrete factory makes the ports.
    class EthernetPortFactory : public DomainEntityFactory {
      public:
        static constexpr uint32_t FACTORY_TYPE = 2;
        static constexpr uint32_t MAX_PORTS = 65535;

        EthernetPortFactory();
        virtual DomainEntity* createObject(uint32_t id) = 0;

      protected:
        DomainEntity* createEntity(uint32_t entityId, uint32_t param) override;
    };

    // What an input transmits onwards of the extended QL TLV it receives.
    struct ExtendedQlTlv {
        uint64_t syncEMasterId;
        uint8_t flag;
        uint8_t numberCascadedEnhancedEec;
        uint8_t numberCascadedEec;
    };

    BaseModel();
    // Deletes the feature factory, then the port factory.
    virtual ~BaseModel();
    BaseModel(const BaseModel&) = delete;
    BaseModel& operator=(const BaseModel&) = delete;

    virtual void init();
    virtual void activate();
    virtual void deactivate();
    virtual bool createObject(AbstractObject* object);
    virtual bool deleteObject(AbstractObject* object);
    virtual bool getObject(AbstractObject* object);
    virtual bool setObject(AbstractObject* object);
    virtual bool createOutput(EthernetPort* port);
    virtual bool createPort(AbstractObject* object);
    // The port with that ldn, created if needed; null when the factory refused the creation.
    virtual EthernetPort* createPort(const std::string& ldn);
    virtual void createOutputs();
    virtual void printFeatureInfo();
    virtual void printInputs();
    virtual void printOutputs();
    virtual void printEthernetPorts();
    virtual void notifySyncEthInputsAboutEvent(PolymorphEvent& event);
    virtual void notifySyncEthOutputsAboutEvent(PolymorphEvent& event);
    virtual bool notifySrsQualityLevelIndication(uint32_t entityId);
    virtual bool notifySrsAssistDataFwd(uint32_t entityId, int32_t timeOffset_c, int32_t timeOffset_f,
                                        bool isValidTimer);
    virtual bool notifyInputDefectFwd(uint32_t entityId, uint32_t defects);
    virtual bool notifyInputReceivedSsmFwd(uint32_t entityId, uint32_t ssmCode, uint32_t tcuDetected);
    virtual bool notifyInputReceivedExtendedQlTlvFwd(uint32_t entityId, const ExtendedQlTlv& extendedQl);
    virtual bool notifyOutputConfigCreateRcfm(uint32_t entityId);
    virtual bool notifyOutputConfigChangeRcfm(uint32_t entityId);
    virtual bool notifyOutputMacAddressFwd(const uint8_t* macAddress);
    virtual void notifySciInitiated();
    virtual bool notifyRecCreateInd();
    virtual bool notifyRecDeleteInd();
    virtual bool notifyRecSelectionProcessModeInd(uint32_t selectionProcessMode);
    virtual bool notifyOutputRecClockSettledQualityInd(uint32_t clockSettledQuality);
    virtual bool notifyRecrUseQLFrom(const std::string& referenceLdn, uint32_t useQLFrom);
    virtual bool notifyRecrConfigInd(const std::string& referenceLdn, uint32_t value1, uint32_t value2);
    virtual bool notifySelectedReferenceInd(uint32_t selectedReference,
                                            const std::string& selectedReferenceLdn);
    virtual bool notifyOutputTelecomStandardInd(uint32_t telecomStandard);
    // A data-plane client came up: every output it must learn of (already operating in the Secli
    // automaton keyed secliAutomatonKey, or ready to announce itself) and every input hear of it.
    virtual void notifySecliClientUp(uint32_t secliAutomatonKey);
    // The data-plane client went: every output and input hears of it.
    virtual void notifySecliClientDown();
    virtual FeatureFactory* getFeatureFactory() = 0;
    // The port factory; a model without one is a coding error that stops the process.
    virtual EthernetPortFactory* getPortFactory();
    virtual FeatureFactory* createFeatureFactory() = 0;
    virtual EthernetPortFactory* createPortFactory() = 0;
    virtual void updateActiveReference(uint32_t selectedReference, const std::string& selectedReferenceLdn,
                                       const std::string& portOfActiveReference);
    // The port with that entity id, or null.
    virtual EthernetPort* findEthernetPort(uint32_t portId);

    // The feature of that type, or null.
    DomainEntity* findFeature(uint32_t type);
    void createAndRegisterFeature(uint32_t type);
    // A new port registered under a new id; throws FwkException when the factory refuses it.
    EthernetPort* createAndRegisterEthernetPort(const std::string& ldn);
    // The first port, in index order, whose ldn is ldn; null when none is.
    EthernetPort* findEthernetPortByEncapsulation(const std::string& ldn);
    SyncEthOutput* findSyncEthOutput(uint32_t entityId);
    SyncEthOutput* findSyncEthOutputByPortId(uint32_t portId);
    SyncEthOutput* findSyncEthOutputByEncapsulation(const std::string& ldn);
    SyncEthInput* findSyncEthInput(uint32_t entityId);
    bool isSelectedReference(const std::string& reservedBy);
    void updateExtendedQlTlvInfoBySelectedReference(const std::string& selectedReferenceLdn);
    void updateExtendedQlTlvInfoBySyncEthInput(SyncEthInput* input);
    // Binds the input to the port whose ldn is the one the input holds for its rhaiId.
    void updatePortInSyncEthInput(SyncEthInput* input);

    // The output feature (type 1) and the input feature (type 0), or null; no traces.
    SyncEthOutputFeature* outputFeature();
    SyncEthInputFeature* inputFeature();
    // Object requests are the input side's to answer; without it the object's own result stands.
    bool routeObjectRequest(AbstractObject* object, bool (SyncEthInputFeature::*request)(AbstractObject*));

  protected:
    // Puts a port that has just joined the port factory into the ldn index; from then on the index
    // follows its ldn.
    void indexEthernetPort(EthernetPort* port);
    // The first registered port, in index order, with that ldn; no traces.
    EthernetPort* lookupPortByLdn(const std::string& ldn);

    FeatureFactory* featureFactory;
    EthernetPortFactory* portFactory;
    UniqueIdPool portIdPool;

  private:
    void ethernetPortLdnChanged(EthernetPort& port, const std::string& previousLdn) override;

    std::set<std::pair<std::string, uint32_t>> portsByLdn_;  // (ldn, port entity id)
};

}  // namespace EthCentral
}  // namespace Sync

#endif
