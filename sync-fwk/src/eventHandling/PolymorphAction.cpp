#include "eventHandling/PolymorphAction.h"

namespace Sync {

PolymorphAction::~PolymorphAction() = default;

}  // namespace Sync
