#ifndef SYNC_CONTROL_EVENTCALLBACKINTERFACE_H
#define SYNC_CONTROL_EVENTCALLBACKINTERFACE_H

namespace Sync {

// The owner of a descriptor watched by the epoll proxy; told when the descriptor is readable or broken.
class EventCallbackInterface {
  public:
    virtual ~EventCallbackInterface() = default;
    // Error or hang-up on the descriptor; takes precedence over readability.
    virtual void onError() = 0;
    virtual void onRead() = 0;
};

}  // namespace Sync

#endif
