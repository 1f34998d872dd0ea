#include "model/view/AbstractObject.h"

namespace Sync {

AbstractObject::AbstractObject(const std::string& ldn, bool result) : ldn(ldn), result(result) {}

AbstractObject::~AbstractObject() = default;

}  // namespace Sync
