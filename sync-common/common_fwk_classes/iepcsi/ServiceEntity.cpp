#include "common_fwk_classes/iepcsi/ServiceEntity.h"

#include "Macros.h"

namespace Sync {
namespace Iepcsi {

ServiceEntity::~ServiceEntity() = default;

void ServiceEntity::raiseEvent(PolymorphEvent& event) {
    TRACE_ENTER("event: %s", event.getName());
    sendEvent(event);
    TRACE_RETURN("%s", "");
}

void ServiceEntity::subscribeToServer() {
    TRACE_ENTER("%s", "");
    raiseEvent(IEPCSIENTITY_SUBSCRIBE_TO_SERVER_EVENT());
    TRACE_RETURN("%s", "");
}

void ServiceEntity::unsubscribeFromServer() {
    TRACE_ENTER("%s", "");
    raiseEvent(IEPCSIENTITY_UNSUBSCRIBE_TO_SERVER_EVENT());
    TRACE_RETURN("%s", "");
}

}  // namespace Iepcsi
}  // namespace Sync
