#ifndef SYNC_SCI_INITREJ_H
#define SYNC_SCI_INITREJ_H

#include "common_fwk_classes/sci/Messages.h"
#include "control/InitRejPrimitive.h"

namespace Sync {
namespace Sci {

// The connection rejection: errorCode at 12 (16 bytes). The client keeps only the references; the
// code appears in the trace. A server packs its rejectCause as the code.
class InitRej : public InitRejPrimitive {
  public:
    static constexpr uint32_t PRIMITIVE_ID = Messages::Management::CONNECTION_ESTABLISHMENT_REJ.primitiveId;
    static constexpr size_t ERROR_CODE_OFFSET = 12;

    InitRej();

    void* constructMessage() override;
    void fetchPrimitive(void* msg) override;
};

}  // namespace Sci
}  // namespace Sync

#endif
