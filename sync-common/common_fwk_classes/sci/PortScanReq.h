#ifndef SYNC_SCI_PORTSCANREQ_H
#define SYNC_SCI_PORTSCANREQ_H

#include <string>
#include <vector>

#include "common_fwk_classes/sci/LdnListPrimitive.h"
#include "common_fwk_classes/sci/Messages.h"

namespace Sync {
namespace Sci {

// Asks the server to scan the listed candidate references.
class PortScanReq : public LdnListPrimitive {
  public:
    static constexpr uint32_t PRIMITIVE_ID = Messages::Service::PORT_SCAN_REQ.primitiveId;
    PortScanReq();

    void* constructMessage() override;
    void fetchPrimitive(void* msg) override;

    const std::vector<std::string>& getCandidateList() const { return getLdns(); }
    void setCandidateList(const std::vector<std::string>& value) { setLdns(value); }
};

}  // namespace Sci
}  // namespace Sync

#endif
