#include "eventHandling/IDomainEntityFactory.h"

namespace Sync {

IDomainEntityFactory::~IDomainEntityFactory() = default;

}  // namespace Sync
