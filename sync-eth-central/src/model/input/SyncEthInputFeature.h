// The feature that would own the SyncE inputs (feature type SYNCETH_INPUT). This daemon never creates
// one; the class names what the shared model asks of an input feature, for daemons that do.
#ifndef SYNC_ETHCENTRAL_SYNCETHINPUTFEATURE_H
#define SYNC_ETHCENTRAL_SYNCETHINPUTFEATURE_H

#include <cstdint>
#include <string>

#include "eventHandling/DomainEntity.h"

namespace Sync {

class AbstractObject;
class PolymorphEvent;

namespace EthCentral {

class SyncEthInput;

class SyncEthInputFeature : public DomainEntity {
  public:
    ~SyncEthInputFeature() override;

    virtual void subscribeSciInfo() = 0;
    virtual void updateRecCreate() = 0;
    virtual void updateRecDelete() = 0;
    virtual void updateSelectionProcessMode(uint32_t selectionProcessMode) = 0;
    virtual void updateTelecomStandard(uint32_t telecomStandard) = 0;
    virtual void updateActiveReference(uint32_t selectedReference,
                                       const std::string& selectedReferenceLdn) = 0;
    // Null when no input has that id.
    virtual SyncEthInput* findSyncEthInput(uint32_t entityId) = 0;
    // The input reserved by the reference with that ldn; null when none is.
    virtual SyncEthInput* findSyncEthInputByReservedBy(const std::string& referenceLdn) = 0;
    virtual void notifySyncEthInputsAboutEvent(PolymorphEvent& event) = 0;
    // View-object requests; each answers the outcome it also records in the object.
    virtual bool createObject(AbstractObject* object) = 0;
    virtual bool deleteObject(AbstractObject* object) = 0;
    virtual bool getObject(AbstractObject* object) = 0;
    virtual bool setObject(AbstractObject* object) = 0;
    virtual void printFeatureInfo() = 0;
    virtual void printInputs() = 0;

  protected:
    SyncEthInputFeature(IDomainEntityFactory* factory, uint32_t id);
};

}  // namespace EthCentral
}  // namespace Sync

#endif
