#ifndef SYNC_ETHCENTRAL_SECLI_SERVICEHANDLER_H
#define SYNC_ETHCENTRAL_SECLI_SERVICEHANDLER_H

#include <cstdint>

#include "eventHandling/AutomatonBase.h"
#include "eventHandling/BaseServiceHandler.h"
#include "eventHandling/Event.h"

namespace Sync {

class BaseController;
class DomainEntity;

namespace EthCentral {

class SyncEthInput;
class SyncEthOutput;

namespace Secli {

class ServerIf;

// Serves the SyncE data-plane client: owns the data-plane server interface, turns what the client
// sends into the events below (raised with this handler as source, carrying no data: a listener reads
// the just received primitive from getServerIf()->getCurrentPrimitive()), and turns changes of the
// SyncE outputs and inputs into requests to the client.
class ServiceHandler : public BaseServiceHandler {
  public:
    // The client connected (raised once its confirmation is on its way) or its mailbox is gone.
    struct SECLI_CLIENT_UP_EVENT : Event<SECLI_CLIENT_UP_EVENT> {};
    struct SECLI_CLIENT_DOWN_EVENT : Event<SECLI_CLIENT_DOWN_EVENT> {};

    // One per answer or forward the client sends.
    struct SECLI_INPUT_CONFIG_CREATE_RCFM_EVENT : Event<SECLI_INPUT_CONFIG_CREATE_RCFM_EVENT> {};
    struct SECLI_INPUT_CONFIG_CREATE_RREJ_EVENT : Event<SECLI_INPUT_CONFIG_CREATE_RREJ_EVENT> {};
    struct SECLI_INPUT_CONFIG_CHANGE_RCFM_EVENT : Event<SECLI_INPUT_CONFIG_CHANGE_RCFM_EVENT> {};
    struct SECLI_INPUT_CONFIG_CHANGE_RREJ_EVENT : Event<SECLI_INPUT_CONFIG_CHANGE_RREJ_EVENT> {};
    struct SECLI_INPUT_CONFIG_REMOVE_RCFM_EVENT : Event<SECLI_INPUT_CONFIG_REMOVE_RCFM_EVENT> {};
    struct SECLI_INPUT_DEFECT_FWD_EVENT : Event<SECLI_INPUT_DEFECT_FWD_EVENT> {};
    struct SECLI_INPUT_RECEIVED_SSM_FWD_EVENT : Event<SECLI_INPUT_RECEIVED_SSM_FWD_EVENT> {};
    struct SECLI_INPUT_ASSIST_DATA_FWD_EVENT : Event<SECLI_INPUT_ASSIST_DATA_FWD_EVENT> {};
    struct SECLI_OUTPUT_CONFIG_CREATE_RCFM_EVENT : Event<SECLI_OUTPUT_CONFIG_CREATE_RCFM_EVENT> {};
    struct SECLI_OUTPUT_CONFIG_CREATE_RREJ_EVENT : Event<SECLI_OUTPUT_CONFIG_CREATE_RREJ_EVENT> {};
    struct SECLI_OUTPUT_CONFIG_CHANGE_RCFM_EVENT : Event<SECLI_OUTPUT_CONFIG_CHANGE_RCFM_EVENT> {};
    struct SECLI_OUTPUT_CONFIG_CHANGE_RREJ_EVENT : Event<SECLI_OUTPUT_CONFIG_CHANGE_RREJ_EVENT> {};
    struct SECLI_OUTPUT_CONFIG_REMOVE_RCFM_EVENT : Event<SECLI_OUTPUT_CONFIG_REMOVE_RCFM_EVENT> {};
    struct SECLI_OUTPUT_MAC_ADDRESS_FWD_EVENT : Event<SECLI_OUTPUT_MAC_ADDRESS_FWD_EVENT> {};

    // Raised by the model on each output (and input) when the client comes up or goes, so that the
    // per-output automaton announces what the new client has to know.
    struct NOTIFY_SECLI_CLIENT_UP_EVENT : Event<NOTIFY_SECLI_CLIENT_UP_EVENT> {};
    struct NOTIFY_SECLI_CLIENT_DOWN_EVENT : Event<NOTIFY_SECLI_CLIENT_DOWN_EVENT> {};

    ServiceHandler(uint32_t id, BaseController* controller);
    ~ServiceHandler() override;

    // Creates the server interface on the controller's mailbox, registers it with the dispatcher under
    // getId() and binds its message handlers to this handler.
    void init() override;

    // The registered server interface; null before init or when the registration failed.
    ServerIf* getServerIf();

    // The data-plane side of each SyncE output: created, changed, removed, and told what to transmit.
    class EthOutputSm : public AutomatonBase<ServiceHandler, SyncEthOutput> {
      public:
        struct ETHOUTPUT_OPERATING : State<ETHOUTPUT_OPERATING> {};

        explicit EthOutputSm(ServiceHandler* owner) : AutomatonBase(owner) {}
        void defineTransitions() override;
    };

    // The data-plane side of each SyncE input. An input counts as ETHINPUT_ENABLED from its creation.
    class EthInputSm : public AutomatonBase<ServiceHandler, SyncEthInput> {
      public:
        struct ETHINPUT_ENABLED : State<ETHINPUT_ENABLED> {};
        struct ETHINPUT_OPERATING : State<ETHINPUT_OPERATING> {};

        explicit EthInputSm(ServiceHandler* owner) : AutomatonBase(owner) {}
        void defineTransitions() override;
    };

    // Actions: each sends one request or indication about the object to the connected client. True
    // when the message was handed to the server interface; the automata move on either way.
    bool outputConfigCreate(SyncEthOutput* output);
    bool outputConfigChange(SyncEthOutput* output);
    bool outputConfigRemove(SyncEthOutput* output);
    bool outputTransmitSsmInd(SyncEthOutput* output);
    bool outputEsmcControlInd(SyncEthOutput* output);
    bool inputConfigCreate(SyncEthInput* input);
    bool inputConfigChange(SyncEthInput* input);
    bool inputConfigRemove(SyncEthInput* input);

  private:
    // The steps every action shares: find the server interface, the connected client and the
    // primitive, address the primitive to the client about the object, let fill set the rest, send.
    // noClientText is traced (DEBUG) when no client is up.
    template <class Primitive, class Fill>
    bool sendToClient(DomainEntity* object, uint32_t primitiveId, const char* primitiveName,
                      const char* noClientText, Fill fill);

    EthInputSm ethInputSm_;
    EthOutputSm ethOutputSm_;
};

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync

#endif
