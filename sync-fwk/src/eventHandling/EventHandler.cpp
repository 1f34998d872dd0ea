#include "eventHandling/EventHandler.h"

namespace Sync {

EventHandler::~EventHandler() = default;

}  // namespace Sync
