// A quality level as reported to the sync reference service: a read-only view of one SSM quality
// level, whatever the kind of reference it was received on.
#ifndef SYNC_SRS_SSM_QL_H
#define SYNC_SRS_SSM_QL_H

#include <cstdint>

namespace Sync {
namespace Srs {

class SsmQl {
  public:
    virtual ~SsmQl();

    virtual uint32_t getQualityLevel() const = 0;

  protected:
    SsmQl() = default;
    SsmQl(const SsmQl&) = default;
    SsmQl& operator=(const SsmQl&) = default;
};

}  // namespace Srs
}  // namespace Sync

#endif
