#ifndef SYNC_SCI_INITCFM_H
#define SYNC_SCI_INITCFM_H

#include "common_fwk_classes/sci/Messages.h"
#include "control/InitCfmPrimitive.h"

namespace Sync {
namespace Sci {

// The connection confirmation: selectedProtocolRevision at 12 (16 bytes). The client keeps only the
// references; the revision appears in the trace.
class InitCfm : public InitCfmPrimitive {
  public:
    static constexpr uint32_t PRIMITIVE_ID = Messages::Management::CONNECTION_ESTABLISHMENT_CFM.primitiveId;
    static constexpr size_t SELECTED_PROTOCOL_REVISION_OFFSET = 12;

    InitCfm();

    void* constructMessage() override;
    void fetchPrimitive(void* msg) override;
};

}  // namespace Sci
}  // namespace Sync

#endif
