#ifndef SYNC_ESMCD_PACKETSOCKET_H
#define SYNC_ESMCD_PACKETSOCKET_H

#include <cstddef>
#include <cstdint>
#include <string>

#include "ConfigError.h"
#include "NetnsWatch.h"

namespace SyncEsmcd {

// A raw packet socket for the slow-protocol EtherType, bound to one interface of one network
// namespace (an ip-netns name, /run/netns/<name>; empty: the namespace the program started in). The
// socket keeps its namespace after the program returns to its own, so one process serves interfaces
// of many namespaces. Virtual so that tests and fuzzing can stand in for the kernel.
class PacketSocket {
  public:
    virtual ~PacketSocket();

    // Opens (again) and binds; CONFIG_OK or why not, with errno kept in lastErrno().
    virtual ConfigError open(const std::string& netns, const std::string& interfaceName);
    // 0 when the frame was handed to the interface, else the errno of the failure.
    virtual int send(const uint8_t* frame, size_t length);
    virtual void close();
    virtual bool isOpen() const { return fd_ >= 0; }
    // The interface it is bound to (0 while closed), to tell a link that replaced it or was renamed.
    virtual int ifindex() const { return ifindex_; }
    // The namespace it was opened in, to tell one made anew under the same name.
    virtual SyncSys::NetnsWatch::Identity netnsIdentity() const { return identity_; }
    int lastErrno() const { return lastErrno_; }

  private:
    int fd_ = -1;
    int ifindex_ = 0;
    SyncSys::NetnsWatch::Identity identity_;
    int lastErrno_ = 0;
};

}  // namespace SyncEsmcd

#endif
