#ifndef SYNC_ETHCENTRAL_SECLI_INPUTCONFIGREQUESTPRIM_H
#define SYNC_ETHCENTRAL_SECLI_INPUTCONFIGREQUESTPRIM_H

#include <string>

#include "control/BasePrimitive.h"

namespace Sync {
namespace EthCentral {
namespace Secli {

// The shape shared by the input create and change requests (804 bytes, only ever sent):
// 12 rhaiPortId, 16 ldn[256], 272 interfaceName[256], 528 macAddress[20], 548 networkNameSpace[256].
class InputConfigRequestPrim : public BasePrimitive {
  public:
    static constexpr uint32_t SIZE = 804;
    static constexpr size_t RHAI_PORT_ID_OFFSET = 12;
    static constexpr size_t LDN_OFFSET = 16;
    static constexpr size_t INTERFACE_NAME_OFFSET = 272;
    static constexpr size_t MAC_ADDRESS_OFFSET = 528;
    static constexpr size_t NETWORK_NAMESPACE_OFFSET = 548;

    void* constructMessage() override;

    // The ldn as the client reads it: of a text of 256 characters or more only the last 255 count,
    // cut to 254; the pieces between runs of ';', ',' and ' ' are joined with ':'.
    static std::string normalisedLdn(const std::string& ldn);

    uint32_t getRhaiPortId() const { return rhaiPortId_; }
    void setRhaiPortId(uint32_t value) { rhaiPortId_ = value; }
    const std::string& getLdn() const { return ldn_; }
    void setLdn(const std::string& value) { ldn_ = value; }
    const std::string& getInterfaceName() const { return interfaceName_; }
    void setInterfaceName(const std::string& value) { interfaceName_ = value; }
    const std::string& getMacAddress() const { return macAddress_; }
    void setMacAddress(const std::string& value) { macAddress_ = value; }
    const std::string& getNetworkNameSpace() const { return networkNameSpace_; }
    void setNetworkNameSpace(const std::string& value) { networkNameSpace_ = value; }

  protected:
    InputConfigRequestPrim(uint32_t primitiveId, const char* name);

  private:
    uint32_t rhaiPortId_ = UNSET;
    std::string ldn_;
    std::string interfaceName_;
    std::string macAddress_;
    std::string networkNameSpace_;
};

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync

#endif
