#ifndef SYNC_SCI_CLIENTSERVICEHANDLER_H
#define SYNC_SCI_CLIENTSERVICEHANDLER_H

#include <cstdint>

#include "common_fwk_classes/sci/ClientEntity.h"
#include "eventHandling/AutomatonBase.h"
#include "eventHandling/BaseServiceHandler.h"
#include "eventHandling/Event.h"

namespace Sync {
namespace Sci {

class ClientIf;

// Owns the sync-control client interface. Client entities' request events become subscribe and
// unsubscribe requests to the server; received confirmations and indications become the events below,
// raised on this handler. The events carry no data: listeners read the just-received primitive from
// the interface.
class ClientServiceHandler : public BaseServiceHandler {
  public:
    struct CONNECTION_ESTABLISHMENT_CFM_EVENT : Event<CONNECTION_ESTABLISHMENT_CFM_EVENT> {};
    struct CONNECTION_ESTABLISHMENT_REJ_EVENT : Event<CONNECTION_ESTABLISHMENT_REJ_EVENT> {};
    struct SERVER_DOWN_IND_EVENT : Event<SERVER_DOWN_IND_EVENT> {};
    struct RADIO_CLOCK_STATE_IND_EVENT : Event<RADIO_CLOCK_STATE_IND_EVENT> {};
    struct CANDIDATED_REFERENCE_IND_EVENT : Event<CANDIDATED_REFERENCE_IND_EVENT> {};
    struct SELECTED_REFERENCE_IND_EVENT : Event<SELECTED_REFERENCE_IND_EVENT> {};
    struct FIXED_POSITION_STATUS_SUBSCRIBED_EVENT : Event<FIXED_POSITION_STATUS_SUBSCRIBED_EVENT> {};
    struct FIXED_POSITION_STATUS_IND_EVENT : Event<FIXED_POSITION_STATUS_IND_EVENT> {};
    struct REC_CREATE_IND_EVENT : Event<REC_CREATE_IND_EVENT> {};
    struct REC_DELETE_IND_EVENT : Event<REC_DELETE_IND_EVENT> {};
    struct REC_SELECTION_PROCESS_MODE_IND_EVENT : Event<REC_SELECTION_PROCESS_MODE_IND_EVENT> {};
    struct REC_CLOCK_SETTLED_QUALITY_IND_EVENT : Event<REC_CLOCK_SETTLED_QUALITY_IND_EVENT> {};
    struct RECR_USE_QL_FROM_IND_EVENT : Event<RECR_USE_QL_FROM_IND_EVENT> {};
    struct TELECOM_STANDARD_IND_EVENT : Event<TELECOM_STANDARD_IND_EVENT> {};
    struct BFN_JUMP_ALERT_IND_EVENT : Event<BFN_JUMP_ALERT_IND_EVENT> {};
    struct LOOSE_TIME_STATE_IND_EVENT : Event<LOOSE_TIME_STATE_IND_EVENT> {};
    struct LOOSE_TIME_DIFF_IND_EVENT : Event<LOOSE_TIME_DIFF_IND_EVENT> {};
    struct DEGRADED_STATUS_IND_EVENT : Event<DEGRADED_STATUS_IND_EVENT> {};
    struct NGS_BFN_ALIGN_RSP_EVENT : Event<NGS_BFN_ALIGN_RSP_EVENT> {};
    struct PORT_SCAN_RSP_EVENT : Event<PORT_SCAN_RSP_EVENT> {};
    struct TIME_ERROR_IND_EVENT : Event<TIME_ERROR_IND_EVENT> {};
    struct FRU_DATA_SUBSCRIBED_EVENT : Event<FRU_DATA_SUBSCRIBED_EVENT> {};
    struct FRU_DATA_IND_EVENT : Event<FRU_DATA_IND_EVENT> {};
    struct RECR_CONFIG_SUBSCRIBED_EVENT : Event<RECR_CONFIG_SUBSCRIBED_EVENT> {};
    struct RECR_CONFIG_IND_EVENT : Event<RECR_CONFIG_IND_EVENT> {};

    // One IDLE state for every entity: each request event is sent as it comes. A subscription
    // remembers its entity; an unsubscription goes out only for the entity that subscribed last.
    class SciSm : public AutomatonBase<ClientServiceHandler, ClientEntity> {
      public:
        explicit SciSm(ClientServiceHandler* owner);
        void defineTransitions() override;
    };

    ClientServiceHandler(uint32_t id, BaseController* controller);
    ~ClientServiceHandler() override;

    // Creates the client interface on the controller's mailbox and registers it with the dispatcher.
    void init() override;

    bool subscribeSciRadioClockState(ClientEntity* entity);
    bool unsubscribeSciRadioClockState(ClientEntity* entity);
    bool subscribeSciCandidatedReference(ClientEntity* entity);
    bool unsubscribeSciCandidatedReference(ClientEntity* entity);
    bool subscribeSciSelectedReference(ClientEntity* entity);
    bool unsubscribeSciSelectedReference(ClientEntity* entity);
    bool subscribeSciFixedPositionStatus(ClientEntity* entity);
    bool unsubscribeSciFixedPositionStatus(ClientEntity* entity);
    bool subscribeSciRecData(ClientEntity* entity);
    bool unsubscribeSciRecData(ClientEntity* entity);
    bool subscribeSciTelecomStandard(ClientEntity* entity);
    bool unsubscribeSciTelecomStandard(ClientEntity* entity);
    bool subscribeSciBfnJumpAlert(ClientEntity* entity);
    bool unsubscribeSciBfnJumpAlert(ClientEntity* entity);
    bool subscribeSciLooseTimeState(ClientEntity* entity);
    bool unsubscribeSciLooseTimeState(ClientEntity* entity);
    bool subscribeSciLooseTimeDiff(ClientEntity* entity);
    bool unsubscribeSciLooseTimeDiff(ClientEntity* entity);
    bool subscribeSciDegradedStatus(ClientEntity* entity);
    bool unsubscribeSciDegradedStatus(ClientEntity* entity);
    bool subscribeSciSemiLooseMode(ClientEntity* entity);
    bool subscribeSciTimeError(ClientEntity* entity);
    bool unsubscribeSciTimeError(ClientEntity* entity);
    bool subscribeSciFruData(ClientEntity* entity);
    bool subscribeSciCandidateAssistRef(ClientEntity* entity);
    bool subscribeSciFronthaulNodePrio(ClientEntity* entity);
    bool subscribeSciRecrConfig(ClientEntity* entity);
    bool subscribeSciOverridePtpData(ClientEntity* entity);
    // The requests that carry what their event carries.
    bool subscribeSciPtpClockType(ClientEntity::SCIENTITY_PTP_CLOCK_TYPE_SUBSCRIBE_TO_SERVER_EVENT* event);
    bool sendSciPortScan(ClientEntity::SCIENTITY_PORT_SCAN_REQ_EVENT* event);
    bool sendSciNgsBfnAlignReq(ClientEntity::SCIENTITY_NGS_BFN_ALIGN_REQ_EVENT* event);
    bool handlePassiveMonitoringConfigured(ClientEntity::SCIENTITY_PASSIVE_MONITORING_EVENT* event);

    // Guards: every subscription records its entity; an unsubscription must come from that entity.
    bool setMyEntity(ClientEntity* entity);
    bool isMyEntity(ClientEntity* entity);
    // Traces the entity's state in SciSm.
    bool printState(ClientEntity* entity);

    uint32_t getMyEntityId() const { return myEntityId; }

  private:
    // The common part of every request: the interface and the request's primitive, addressed to the
    // entity, filled further by fill and sent. False, with an ERROR naming what is missing, when the
    // interface, the primitive (errorName is the name the ERROR gives it) or the entity is not there.
    template <class Primitive, class Fill>
    bool sendRequest(ClientEntity* entity, const char* errorName, Fill fill);
    template <class Primitive>
    bool sendRequest(ClientEntity* entity, const char* errorName);

    SciSm sciSm;
    uint32_t myEntityId = 0;
};

}  // namespace Sci
}  // namespace Sync

#endif
