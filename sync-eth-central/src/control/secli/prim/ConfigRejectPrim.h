#ifndef SYNC_ETHCENTRAL_SECLI_CONFIGREJECTPRIM_H
#define SYNC_ETHCENTRAL_SECLI_CONFIGREJECTPRIM_H

#include "control/BasePrimitive.h"

namespace Sync {
namespace EthCentral {
namespace Secli {

// The shape of a client's rejection of a configuration request: the header and one error code at 12
// (16 bytes). Only ever received. The code's meaning belongs to the client; the server only carries it.
class ConfigRejectPrim : public BasePrimitive {
  public:
    void fetchPrimitive(void* msg) override;

    uint32_t getErrorCode() const { return errorCode_; }
    void setErrorCode(uint32_t value) { errorCode_ = value; }

  protected:
    // traceFormat takes procedureReference, connectionReference and errorCode, in that order. The
    // texts differ between the rejections in more than the name, so each class gives its own.
    ConfigRejectPrim(uint32_t primitiveId, const char* name, const char* traceFormat);

  private:
    const char* traceFormat_;
    uint32_t errorCode_ = 0;
};

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync

#endif
