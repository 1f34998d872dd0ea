#include "control/MessageHandler.h"

namespace Sync {

MessageHandler::~MessageHandler() = default;

}  // namespace Sync
