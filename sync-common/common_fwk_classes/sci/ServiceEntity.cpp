#include "common_fwk_classes/sci/ServiceEntity.h"

namespace Sync {
namespace Sci {

ServiceEntity::~ServiceEntity() = default;

}  // namespace Sci
}  // namespace Sync
