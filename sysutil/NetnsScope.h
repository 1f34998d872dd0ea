#ifndef SYNC_SYS_NETNSSCOPE_H
#define SYNC_SYS_NETNSSCOPE_H

#include <string>

namespace SyncSys {

// Enters a network namespace (an ip-netns name, /run/netns/<name>; empty: none) for the lifetime of
// the object, so that a socket opened meanwhile belongs to that namespace for good, and returns the
// thread to the namespace it came from when the object goes. The programs of the wire open their
// sockets in the namespaces of the ports they serve this way, from one single-threaded process.
class NetnsScope {
  public:
    explicit NetnsScope(const std::string& netns);
    ~NetnsScope();
    NetnsScope(const NetnsScope&) = delete;
    NetnsScope& operator=(const NetnsScope&) = delete;

    // Whether the thread is in the namespace asked for (always, for an empty name).
    bool entered() const { return error_ == 0; }
    // The errno of the failure to enter; EINVAL for a name that would leave /run/netns.
    int error() const { return error_; }

  private:
    int own_ = -1;
    int error_ = 0;
};

}  // namespace SyncSys

#endif
