#include "model/output/FronthaulSyncEthOutput.h"

#include "Macros.h"
#include "model/port/EthernetPort.h"

namespace Sync {
namespace LumovControl {

namespace {

constexpr uint32_t ADMIN_UNLOCKED = 1;
constexpr uint32_t OPER_ENABLED = 1;

}  // namespace

FronthaulSyncEthOutput::FronthaulSyncEthOutput(IDomainEntityFactory* factory, uint32_t id)
    : SyncEthOutput(factory, id) {
    TRACE_ENTER("id: %u", id);
    TRACE_RETURN("%s", "");
}

FronthaulSyncEthOutput::~FronthaulSyncEthOutput() = default;

bool FronthaulSyncEthOutput::isPortUp() const {
    const EthCentral::EthernetPort* port = getEthernetPort();
    return port->getAdministrativeState() == ADMIN_UNLOCKED && port->getOperationalState() == OPER_ENABLED;
}

bool FronthaulSyncEthOutput::isReadyForSecli() const {
    return peekEthernetPort() != nullptr && isEthernetPortInitiatedForSecli() && isPortUp();
}

void FronthaulSyncEthOutput::sendSyncEthOutputConfiguredEvent() {
    TRACE_ENTER("id: %u", entityId);
    if (isEthernetPortInitiatedForSecli() && isPortUp()) {
        TRACE_DEBUG("%s", "Send SYNCETHOUTPUT_CONFIGURED_EVENT");
        sendEvent(SYNCETHOUTPUT_CONFIGURED_EVENT());
    }
    TRACE_RETURN("%s", "");
}

void FronthaulSyncEthOutput::notifyEthernetPortChanged() {
    TRACE_ENTER("id: %u", entityId);
    if (isEthernetPortInitiatedForSecli() && isPortUp()) {
        sendEvent(SYNCETHOUTPUT_CONFIGURED_EVENT());
    }
    // Only now, with the configuration handled, may the transmit order follow.
    if (isEthernetPortSupportableChanged()) {
        sendEvent(SYNCETHOUTPUT_TRANSMIT_SSM_IND_EVENT());
    }
    TRACE_RETURN("%s", "");
}

void FronthaulSyncEthOutput::print() {
    TRACE_ENTER("id: %u", entityId);
    if (isPortUp()) {
        SyncEthOutput::print();
    }
    TRACE_RETURN("%s", "");
}

}  // namespace LumovControl
}  // namespace Sync
