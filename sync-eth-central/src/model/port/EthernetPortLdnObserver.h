// Told when the ldn an Ethernet port answers with changes, so that lookups indexed by ldn stay right.
#ifndef SYNC_ETHCENTRAL_ETHERNETPORTLDNOBSERVER_H
#define SYNC_ETHCENTRAL_ETHERNETPORTLDNOBSERVER_H

#include <string>

namespace Sync {
namespace EthCentral {

class EthernetPort;

class EthernetPortLdnObserver {
  public:
    // port.getLdn() already answers the new ldn.
    virtual void ethernetPortLdnChanged(EthernetPort& port, const std::string& previousLdn) = 0;

  protected:
    ~EthernetPortLdnObserver() = default;
};

}  // namespace EthCentral
}  // namespace Sync

#endif
