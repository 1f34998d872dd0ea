#include "control/EpollController.h"

#include <cstdlib>
#include <vector>

#include "Macros.h"
#include "control/Dispatcher.h"
#include "control/EpollProxy.h"
#include "kolm.h"
#include "tavi.h"
#include "trace/PlatformWarnings.h"

namespace Sync {

EpollController::EpollController(const std::string& name, uint32_t count)
    : BaseController(name),
      mailboxName(name),
      published(false),
      taviInitialised(false),
      mailboxCount(count) {}

EpollController::~EpollController() {
    cleanup();
}

void EpollController::init() {
    TRACE_ENTER("%s", "");
    TRACE_INFO("EpollController::init()!");
    preInit();
    createOwnIdentity();
    publishYourSelf();
    dispatcher = new Dispatcher();
    createServiceHandlers();

    // A handler's init may not add handlers, but iterate over a snapshot so that the count stays
    // the one taken here whatever happens to the map.
    std::vector<BaseServiceHandler*> handlers;
    handlers.reserve(serviceHandlers.size());
    for (auto& entry : serviceHandlers) {
        handlers.push_back(entry.second);
    }
    for (BaseServiceHandler* handler : handlers) {
        handler->init();
    }
    dispatcher->attachInterfaces();
    addTaviFdToEpoll();
    postInit();
    TRACE_RETURN("%s", "");
}

void EpollController::createOwnIdentity() {
    TRACE_ENTER("%s", "");
    // What the mailbox library drops (a delivery too short to be a message, a failed lookup) is a peer's
    // doing like any bad message, so it belongs in the same trace rather than in syslog alone.
    routePlatformWarnings();
    const int ret = tavi_init(mailboxCount, 0, 0, 0, 0);
    if (ret != 0) {
        TRACE_ERROR("tavi_init for %s has failed [ret = %d]", mailboxName.c_str(), ret);
        fatal();
    }
    taviInitialised = true;
    ownIdentity = tavi_create_mailbox(mailboxName.c_str(), 0);
    if (ownIdentity == TAVI_NO_ID) {
        TRACE_ERROR("tavi_create_mailbox for %s has failed", mailboxName.c_str());
        fatal();
    }
    TRACE_RETURN("%s", "");
}

void EpollController::publishYourSelf() {
    TRACE_ENTER("ownServiceName: %s, ownIdentity: %u", ownServiceName.c_str(), ownIdentity);
    if (ownIdentity == TAVI_NO_ID) {
        TRACE_ERROR("Could not publish %s in KOLM,  TAVI_NO_ID!", ownServiceName.c_str());
        TRACE_RETURN("Failed to publish");
        return;
    }
    const int result =
        kolm_publish(ownServiceName.c_str(), domain.c_str(), ownIdentity, publishQualifier.c_str());
    if (result != 0) {
        TRACE_ERROR("Could not publish %s in KOLM database, result %d", ownServiceName.c_str(), result);
        fatal();
    }
    published = true;
    TRACE_INFO("NS published with: %s, domain: %s", ownServiceName.c_str(), domain.c_str());
    TRACE_RETURN("%s", "");
}

void EpollController::run() {
    TRACE_ENTER("%s", "");
    preRun();
    if (ownIdentity == TAVI_NO_ID) {
        TRACE_ERROR("Attempt to execute run without invoking startup. Preventing execution..");
        return;
    }
    while (EpollProxy::instance().waitAndDispatchEvents()) {
    }
    TRACE_RETURN("%s", "");
}

void EpollController::onRead() {
    TRACE_ENTER_FREQ("%s", "");
    void* msg = tavi_receive(nullptr, 0, TAVI_ANY_SENDER);
    if (msg != nullptr) {
        dispatchMsg(msg);
        tavi_free(&msg);
    } else {
        TRACE_WARNING("TAVI msg received as nullptr");
    }
    TRACE_RETURN_FREQ("%s", "");
}

void EpollController::dispatchMsg(void* msg) {
    TRACE_ENTER_FREQ("%s(msg = %p)", __func__, msg);
    if (dispatcher == nullptr) {
        TRACE_WARNING("Code error: null pointer msg dispatcher!");
    } else if (!dispatcher->dispatch(msg)) {
        const uint32_t msgno = *static_cast<const uint32_t*>(msg);
        TRACE_WARNING("Unhandled message, msg.id=%u [0x%08X]", msgno, msgno);
    }
    TRACE_RETURN_FREQ("%s", "");
}

void EpollController::onError() {
    TRACE_ENTER("%s", "");
    TRACE_ERROR("TAVI fd error event, abort!");
    fatal();
}

void EpollController::fatal() {
    preCleanup();
    cleanup();
    std::abort();
}

void EpollController::addTaviFdToEpoll() {
    if (taviInitialised && ownIdentity != TAVI_NO_ID) {
        EpollProxy::instance().addFd(tavi_get_fd(), this);
        fdWatched = true;
    }
}

void EpollController::delTaviFdFromEpoll() {
    // A start-up failure comes before the descriptor was added; removing it then would fail and
    // abort before the mailbox is deleted.
    if (taviInitialised && ownIdentity != TAVI_NO_ID && fdWatched) {
        EpollProxy::instance().removeFd(tavi_get_fd());
        fdWatched = false;
    }
}

void EpollController::cleanup() {
    delTaviFdFromEpoll();
    if (published) {
        kolm_unpublish(ownServiceName.c_str(), domain.c_str(), ownIdentity, publishQualifier.c_str());
        published = false;
    }
    if (ownIdentity != TAVI_NO_ID) {
        tavi_delete_mailbox(ownIdentity);
    }
    if (taviInitialised) {
        tavi_exit();
        taviInitialised = false;
    }
    mailboxName.clear();
    domain.clear();
    publishQualifier.clear();
    ownServiceName.clear();
}

void EpollController::preInit() {
    TRACE_ENTER("%s", "");
    TRACE_RETURN("%s", "");
}

void EpollController::postInit() {
    TRACE_ENTER("%s", "");
    TRACE_RETURN("%s", "");
}

void EpollController::preRun() {
    TRACE_ENTER("%s", "");
    TRACE_RETURN("%s", "");
}

void EpollController::preCleanup() {
    TRACE_ENTER("%s", "");
    TRACE_RETURN("%s", "");
}

}  // namespace Sync
