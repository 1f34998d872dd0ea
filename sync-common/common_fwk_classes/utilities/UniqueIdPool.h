#ifndef SYNC_COMMON_UNIQUEIDPOOL_H
#define SYNC_COMMON_UNIQUEIDPOOL_H

#include <cstdint>
#include <set>

namespace Sync {

// Hands out ids from one counter shared by every pool of the process, so ids ascend across pools
// and a released id comes back only after the counter has wrapped. 0 is never an id.
class UniqueIdPool {
  public:
    static constexpr uint32_t kUnbounded = 0xFFFFFFFF;

    // maxIdAllowed: the most ids this pool may have in use at once.
    explicit UniqueIdPool(uint32_t maxIdAllowed = kUnbounded);
    virtual ~UniqueIdPool();

    // A new id, or 0 when the pool is full.
    virtual uint32_t createId();
    virtual void releaseId(uint32_t id);
    virtual bool hasAvailableId() const;
    virtual uint32_t getMaxIdAllowed() const;
    virtual uint32_t getNumAvailableId() const;

    // The counter: the last id handed out by any pool. A process that builds its objects again in
    // place, and wants them to get the same ids as the first time, sets it back.
    static uint32_t lastIssuedId();
    static void setLastIssuedId(uint32_t id);

  private:
    uint32_t maxIdAllowed;
    std::set<uint32_t> usedIds;
};

}  // namespace Sync

#endif
