#ifndef SYNC_ETHCENTRAL_SECLI_OUTPUTCONFIGREQUESTPRIM_H
#define SYNC_ETHCENTRAL_SECLI_OUTPUTCONFIGREQUESTPRIM_H

#include <string>

#include "control/BasePrimitive.h"

namespace Sync {
namespace EthCentral {
namespace Secli {

// The shape shared by the output create and change requests (544 bytes, only ever sent):
// 12 interfaceName[256], 268 macAddress[20], 288 networkNameSpace[256].
class OutputConfigRequestPrim : public BasePrimitive {
  public:
    static constexpr uint32_t SIZE = 544;
    static constexpr size_t INTERFACE_NAME_OFFSET = 12;
    static constexpr size_t MAC_ADDRESS_OFFSET = 268;
    static constexpr size_t NETWORK_NAMESPACE_OFFSET = 288;

    void* constructMessage() override;

    const std::string& getInterfaceName() const { return interfaceName_; }
    void setInterfaceName(const std::string& value) { interfaceName_ = value; }
    const std::string& getMacAddress() const { return macAddress_; }
    void setMacAddress(const std::string& value) { macAddress_ = value; }
    const std::string& getNetworkNameSpace() const { return networkNameSpace_; }
    void setNetworkNameSpace(const std::string& value) { networkNameSpace_ = value; }

  protected:
    OutputConfigRequestPrim(uint32_t primitiveId, const char* name);

  private:
    std::string interfaceName_;
    std::string macAddress_;
    std::string networkNameSpace_;
};

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync

#endif
