#ifndef SYNC_SCI_SERVICEENTITY_H
#define SYNC_SCI_SERVICEENTITY_H

#include "eventHandling/IEntity.h"

namespace Sync {
namespace Sci {

// Anything that takes part in the sync-control interface through events of its own.
class ServiceEntity : public IEntity {
  public:
    ~ServiceEntity() override;
};

}  // namespace Sci
}  // namespace Sync

#endif
