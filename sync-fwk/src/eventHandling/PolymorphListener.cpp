#include "eventHandling/PolymorphListener.h"

namespace Sync {

PolymorphListener::~PolymorphListener() = default;

}  // namespace Sync
