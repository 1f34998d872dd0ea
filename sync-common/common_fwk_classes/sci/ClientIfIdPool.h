#ifndef SYNC_SCI_CLIENTIFIDPOOL_H
#define SYNC_SCI_CLIENTIFIDPOOL_H

#include <bitset>
#include <cstdint>

namespace Sync {
namespace Sci {

// Interface ids 1 to 256 shared by every sync-control client interface of the process: each takes the
// lowest free id while it lives. The id fills the references of the connection request, so that the
// server can tell the process's connections apart.
class ClientIfIdPool {
  public:
    static constexpr uint32_t SIZE = 256;
    static constexpr uint32_t NO_ID = 0;

    // The process-wide pool.
    static ClientIfIdPool& instance();

    // The lowest free id, now taken; NO_ID when all are taken.
    uint32_t take();
    // Frees an id taken before; anything else is ignored.
    void release(uint32_t id);

  private:
    std::bitset<SIZE> taken;
};

}  // namespace Sci
}  // namespace Sync

#endif
