#include "eventHandling/PolymorphEvent.h"

namespace Sync {

PolymorphEvent::~PolymorphEvent() = default;

}  // namespace Sync
