#ifndef SYNC_SCI_PORTSCANRSP_H
#define SYNC_SCI_PORTSCANRSP_H

#include <string>
#include <vector>

#include "common_fwk_classes/sci/LdnListPrimitive.h"
#include "common_fwk_classes/sci/Messages.h"

namespace Sync {
namespace Sci {

// The server's answer to a port scan: the candidates it failed to lock to.
class PortScanRsp : public LdnListPrimitive {
  public:
    static constexpr uint32_t PRIMITIVE_ID = Messages::Service::PORT_SCAN_RSP.primitiveId;
    PortScanRsp();

    void* constructMessage() override;
    void fetchPrimitive(void* msg) override;

    const std::vector<std::string>& getFailedToLockCandidates() const { return getLdns(); }
    void setFailedToLockCandidates(const std::vector<std::string>& value) { setLdns(value); }
};

}  // namespace Sci
}  // namespace Sync

#endif
