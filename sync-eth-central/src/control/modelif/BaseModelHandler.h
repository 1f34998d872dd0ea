// The service handler that owns the SyncE model and connects it to the event sources of the process:
// the sync-control client, the data-plane server, the command service and view objects. One automaton
// per source; each handler reads the primitive its source's interface has just unpacked and calls one
// notification of the model. The concrete handler supplies the model.
#ifndef SYNC_ETHCENTRAL_BASEMODELHANDLER_H
#define SYNC_ETHCENTRAL_BASEMODELHANDLER_H

#include <cstdint>

#include "common_fwk_classes/coli/ServiceHandler.h"
#include "common_fwk_classes/sci/CentralEvent.h"
#include "common_fwk_classes/sci/ClientServiceHandler.h"
#include "control/modelif/OrderAnswers.h"
#include "control/secli/ServiceHandler.h"
#include "eventHandling/AutomatonBase.h"
#include "eventHandling/BaseServiceHandler.h"
#include "eventHandling/Event.h"
#include "eventHandling/Listener.h"
#include "model/view/AbstractObject.h"

namespace Sync {

class BaseController;

namespace EthCentral {

class BaseModel;

class BaseModelHandler : public BaseServiceHandler {
  public:
    class ViewSm : public AutomatonBase<BaseModelHandler, AbstractObject> {
      public:
        explicit ViewSm(BaseModelHandler* owner) : AutomatonBase(owner) {}
        void defineTransitions() override;
    };

    class ColiSm : public AutomatonBase<BaseModelHandler, Coli::ServiceHandler> {
      public:
        explicit ColiSm(BaseModelHandler* owner) : AutomatonBase(owner) {}
        void defineTransitions() override;
    };

    class SecliSm : public AutomatonBase<BaseModelHandler, Secli::ServiceHandler> {
      public:
        explicit SecliSm(BaseModelHandler* owner) : AutomatonBase(owner) {}
        void defineTransitions() override;
    };

    class SciSm : public AutomatonBase<BaseModelHandler, Sci::ClientServiceHandler> {
      public:
        // The sync-control connection was confirmed once; the features have subscribed.
        struct SCI_INITIATED : State<SCI_INITIATED> {};

        explicit SciSm(BaseModelHandler* owner) : AutomatonBase(owner) {}
        void defineTransitions() override;
    };

    BaseModelHandler(uint32_t id, BaseController* controller);
    // Deletes the model, then the automata.
    ~BaseModelHandler() override;
    BaseModelHandler(const BaseModelHandler&) = delete;
    BaseModelHandler& operator=(const BaseModelHandler&) = delete;

    // Creates the model and initialises it.
    void init() override;
    virtual BaseModel* createModel() = 0;
    // The model as the concrete class; a handler without one stops the process.
    virtual BaseModel& myModel() = 0;

    BaseModel* getModel() const { return model; }

    // SciSm.
    bool handleSciInitiated(Sci::ClientServiceHandler* source);
    bool handleSciRecCreateInd(Sci::ClientServiceHandler* source);
    bool handleSciRecDeleteInd(Sci::ClientServiceHandler* source);
    bool handleSciRecSelectionProcessModeInd(Sci::ClientServiceHandler* source);
    bool handleSciRecClockSettledQualityInd(Sci::ClientServiceHandler* source);
    bool handleSciRecrUseQLFromInd(Sci::ClientServiceHandler* source);
    bool handleSciRecrConfigInd(Sci::ClientServiceHandler* source);
    bool handleSciSelectedReferenceInd(Sci::ClientServiceHandler* source);
    bool handleSciTelecomStandardInd(Sci::ClientServiceHandler* source);

    // SecliSm.
    bool handleSecliInputDefectFwd(Secli::ServiceHandler* source);
    bool handleSecliInputReceivedSsmFwd(Secli::ServiceHandler* source);
    bool handleSecliInputAssistDataFwd(Secli::ServiceHandler* source);
    bool handleSecliOutputConfigCreateRcfm(Secli::ServiceHandler* source);
    bool handleSecliOutputConfigChangeRcfm(Secli::ServiceHandler* source);
    bool handleSecliOutputMacAddressFwd(Secli::ServiceHandler* source);
    bool handleSecliClientUp(Secli::ServiceHandler* source);
    bool handleSecliClientDown(Secli::ServiceHandler* source);

    // ColiSm.
    bool handleColiPrint(Coli::ServiceHandler::PRINT_COLI_EVENT* event);

    // ViewSm: the create guard makes sure the object's port exists.
    bool handleObjectCreateGuard(AbstractObject* object);
    bool handleObjectCreate(AbstractObject* object);
    bool handleObjectDelete(AbstractObject* object);
    bool handleObjectSet(AbstractObject* object);
    bool handleObjectGet(AbstractObject* object);

  protected:
    BaseModel* model;

  private:
    // A lost sync-control server forgets every subscription. SciSm stays initiated, so the features
    // subscribe again from here: once, on the first connection confirmation after the loss.
    class SciReconnection : public Listener<Control::CentralEvent::CLIENT_NOTIFY_EVENT> {
      public:
        explicit SciReconnection(BaseModelHandler* owner) : owner_(owner) {}
        void onEvent(Control::CentralEvent::CLIENT_NOTIFY_EVENT& event) override;

      private:
        BaseModelHandler* owner_;
        bool lost_ = false;
    };

    ViewSm viewSm;
    ColiSm coliSm;
    SecliSm secliSm;
    SciSm sciSm;
    SciReconnection sciReconnection_;
    OrderAnswers orderAnswers_;
};

}  // namespace EthCentral
}  // namespace Sync

#endif
