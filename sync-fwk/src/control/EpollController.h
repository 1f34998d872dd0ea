#ifndef SYNC_EPOLLCONTROLLER_H
#define SYNC_EPOLLCONTROLLER_H

#include <cstdint>
#include <string>

#include "control/BaseController.h"
#include "control/EventCallbackInterface.h"

namespace Sync {

// The controller of a daemon whose only wait is the epoll loop: it owns the process mailbox,
// publishes the service, and hands each received message to the dispatcher, one per readiness.
class EpollController : public BaseController, public EventCallbackInterface {
  public:
    EpollController(const std::string& name, uint32_t mailboxCount);
    ~EpollController() override;

    void init() override;
    void run() override;
    void createOwnIdentity() override;
    void publishYourSelf() override;

    void onError() override;
    void onRead() override;

    virtual void preInit();
    virtual void postInit();
    virtual void preRun();
    virtual void preCleanup();
    virtual void dispatchMsg(void* msg);

  protected:
    std::string mailboxName;
    std::string domain;
    std::string publishQualifier;
    bool published;
    bool taviInitialised;
    uint32_t mailboxCount;

  private:
    bool fdWatched = false;

    void addTaviFdToEpoll();
    void delTaviFdFromEpoll();
    void cleanup();
    // Start-up failures leave no half-open mailbox or published name behind.
    [[noreturn]] void fatal();
};

}  // namespace Sync

#endif
