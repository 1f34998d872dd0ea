// The daemon's model handler: creates the fronthaul model, and turns the port-control events into
// port creation, subscription bookkeeping, port state updates and the reaction to a lost port-control
// server. It decides which reported ports are fronthaul ports.
#ifndef SYNC_LUMOVCONTROL_MODELHANDLER_H
#define SYNC_LUMOVCONTROL_MODELHANDLER_H

#include <cstdint>

#include "common_fwk_classes/iepcsi/ServiceHandler.h"
#include "control/modelif/BaseModelHandler.h"
#include "eventHandling/AutomatonBase.h"
#include "eventHandling/Event.h"
#include "model/Model.h"

namespace Sync {

class BaseController;

namespace LumovControl {

class ModelHandler : public EthCentral::BaseModelHandler {
  public:
    // The port-control connection as the model sees it; the state is kept on the port-control
    // service handler, the source of every event.
    class IepcsiSm : public AutomatonBase<ModelHandler, Iepcsi::ServiceHandler> {
      public:
        struct IEPCSI_INITIATED : State<IEPCSI_INITIATED> {};

        explicit IepcsiSm(ModelHandler* owner) : AutomatonBase(owner) {}
        void defineTransitions() override;
    };

    ModelHandler(uint32_t id, BaseController* controller);
    ~ModelHandler() override;

    EthCentral::BaseModel* createModel() override;
    // The model; a handler without one stops the process.
    Model& myModel() override;

    // A reported port is a fronthaul port when its role has 0x4 set and 0x1 clear.
    static bool isFronthaulPort(uint32_t portRole);

    // Actions of IepcsiSm; each returns true.
    bool handleIepcsiInitiated(Iepcsi::ServiceHandler* source);
    bool handleIepcsiGetPortSupportCfm(Iepcsi::ServiceHandler* source);
    bool handleIepcsiSubscribePortStatusCfm(Iepcsi::ServiceHandler* source);
    bool handleIepcsiPortStatusInd(Iepcsi::ServiceHandler* source);
    bool handleIepcsiServerDown(Iepcsi::ServiceHandler* source);

  private:
    IepcsiSm iepcsiSm;
};

}  // namespace LumovControl
}  // namespace Sync

#endif
