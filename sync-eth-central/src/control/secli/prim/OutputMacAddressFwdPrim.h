#ifndef SYNC_ETHCENTRAL_SECLI_OUTPUTMACADDRESSFWDPRIM_H
#define SYNC_ETHCENTRAL_SECLI_OUTPUTMACADDRESSFWDPRIM_H

#include "control/BasePrimitive.h"

namespace Sync {
namespace EthCentral {
namespace Secli {

// SECLI_OUTPUT_MAC_ADDRESS_FWD (20 bytes, received, frequent): the six raw bytes of the MAC address the
// data plane uses, at 12.
class OutputMacAddressFwdPrim : public BasePrimitive {
  public:
    static constexpr uint32_t SIZE = 20;
    static constexpr size_t MAC_ADDRESS_OFFSET = 12;
    static constexpr size_t MAC_ADDRESS_BYTES = 6;

    OutputMacAddressFwdPrim();

    void fetchPrimitive(void* msg) override;

    // MAC_ADDRESS_BYTES bytes.
    const uint8_t* getMacAddress() const { return macAddress_; }
    void setMacAddress(const uint8_t* value);

  private:
    uint8_t macAddress_[MAC_ADDRESS_BYTES] = {};
};

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync

#endif
