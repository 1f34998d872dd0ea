#include "PeerListener.h"

#include <cstdio>

namespace SyncPeers {

void PeerListener::dropped(const std::string& why) {
    std::fprintf(stderr, "warning: %s\n", why.c_str());
}

}  // namespace SyncPeers
