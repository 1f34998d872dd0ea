// The SyncE output of a fronthaul port: it tells the data plane about itself only while its port is
// administratively unlocked and operationally enabled.
#ifndef SYNC_LUMOVCONTROL_FRONTHAULSYNCETHOUTPUT_H
#define SYNC_LUMOVCONTROL_FRONTHAULSYNCETHOUTPUT_H

#include <cstdint>

#include "model/output/SyncEthOutput.h"

namespace Sync {
namespace LumovControl {

class FronthaulSyncEthOutput : public EthCentral::SyncEthOutput {
  public:
    FronthaulSyncEthOutput(IDomainEntityFactory* factory, uint32_t id);
    ~FronthaulSyncEthOutput() override;

    // Announces the output only while its port is initiated towards the data plane and up.
    void sendSyncEthOutputConfiguredEvent() override;
    // After every operational-state update of the port: configured first (when active), then the
    // transmit order when the port's SyncE capability changed.
    void notifyEthernetPortChanged() override;
    // Prints the output only while its port is up.
    void print() override;
    bool isReadyForSecli() const override;

    // The port is unlocked and enabled.
    bool isPortUp() const;
};

}  // namespace LumovControl
}  // namespace Sync

#endif
