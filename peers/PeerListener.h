#ifndef SYNC_PEERS_PEERLISTENER_H
#define SYNC_PEERS_PEERLISTENER_H

#include <string>

namespace SyncPeers {

// What every endpoint tells its user, whatever the protocol: a message it dropped as malformed or
// unexpected, with the reason. Each endpoint's own listener adds what its protocol carries; an
// endpoint nobody listens to has one of its own that only does what the defaults do.
class PeerListener {
  public:
    virtual ~PeerListener() = default;
    // Unless a user says otherwise, the reason goes to standard error, so that no drop passes unsaid.
    virtual void dropped(const std::string& why);
};

}  // namespace SyncPeers

#endif
