// A SyncE input: a port on which SyncE is recovered. This daemon never creates one; the class holds
// what the shared model and the data-plane side read of an input, for daemons that do.
#ifndef SYNC_ETHCENTRAL_SYNCETHINPUT_H
#define SYNC_ETHCENTRAL_SYNCETHINPUT_H

#include <cstdint>
#include <string>

#include "eventHandling/DomainEntity.h"
#include "eventHandling/Event.h"

namespace Sync {
namespace EthCentral {

class EthernetPort;

class SyncEthInput : public DomainEntity {
  public:
    struct SYNCETHINPUT_CONFIGURED_EVENT : Event<SYNCETHINPUT_CONFIGURED_EVENT> {};
    struct SYNCETHINPUT_PORT_NOT_SUPPORTABLE_EVENT : Event<SYNCETHINPUT_PORT_NOT_SUPPORTABLE_EVENT> {};
    struct SYNCETHINPUT_DELETED_EVENT : Event<SYNCETHINPUT_DELETED_EVENT> {};

    // The extended QL TLV last received on the input.
    struct ReceivedExtendedQl {
        std::string syncEMasterId;  // hexadecimal text
        uint8_t flag = 0;
        uint8_t numberCascadedEeec = 0;
        uint8_t numberCascadedEec = 0;
        bool partialChain = false;
    };

    ~SyncEthInput() override;

    void activate() override = 0;
    void deactivate() override = 0;

    EthernetPort* getEthernetPort() const { return ethernetPort; }
    void setEthernetPort(EthernetPort* port) { ethernetPort = port; }
    // The ldn the input holds for its port's rhaiId.
    const std::string& getRhaiLdn() const { return rhaiLdn; }
    void setRhaiLdn(const std::string& ldn) { rhaiLdn = ldn; }
    // The ldn of the synchronisation reference that reserves the input; empty when none does.
    const std::string& getReservedBy() const { return reservedBy; }
    void setReservedBy(const std::string& ldn) { reservedBy = ldn; }
    const ReceivedExtendedQl& getReceivedExtendedQl() const { return receivedExtendedQl; }
    void setReceivedExtendedQl(const ReceivedExtendedQl& ql) { receivedExtendedQl = ql; }
    bool isOperational() const { return operational; }
    void setOperational(bool value) { operational = value; }
    bool isUsingReceivedQl() const { return usingReceivedQl; }
    void setUsingReceivedQl(bool value) { usingReceivedQl = value; }
    uint32_t getUseQLFrom() const { return useQLFrom; }
    void setUseQLFrom(uint32_t value) { useQLFrom = value; }
    uint32_t getRecrConfigValue1() const { return recrConfigValue1; }
    uint32_t getRecrConfigValue2() const { return recrConfigValue2; }
    void setRecrConfig(uint32_t value1, uint32_t value2) {
        recrConfigValue1 = value1;
        recrConfigValue2 = value2;
    }

  protected:
    SyncEthInput(IDomainEntityFactory* factory, uint32_t id);

  private:
    EthernetPort* ethernetPort = nullptr;
    std::string rhaiLdn;
    std::string reservedBy;
    ReceivedExtendedQl receivedExtendedQl;
    bool operational = false;
    bool usingReceivedQl = false;
    uint32_t useQLFrom = 0;
    uint32_t recrConfigValue1 = 0;
    uint32_t recrConfigValue2 = 0;
};

}  // namespace EthCentral
}  // namespace Sync

#endif
