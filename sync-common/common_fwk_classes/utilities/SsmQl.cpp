#include "common_fwk_classes/utilities/SsmQl.h"

namespace Sync {
namespace Srs {

SsmQl::~SsmQl() = default;

}  // namespace Srs
}  // namespace Sync
