#ifndef SYNC_LUMOVCONTROL_TIMETEXT_H
#define SYNC_LUMOVCONTROL_TIMETEXT_H

#include <chrono>
#include <ctime>
#include <string>

namespace Sync {
namespace LumovControl {

// Times as the operator's answers write them: ISO 8601 in local time with its offset and
// milliseconds for programs ("2026-12-05T17:36:17.002+01:00"), and as the text printouts do for
// people ("2026-12-05 17:36:17").
class TimeText {
  public:
    static std::string iso8601(const timespec& stamp);
    static std::string iso8601(std::chrono::system_clock::time_point time);
    static std::string local(std::chrono::system_clock::time_point time);
};

}  // namespace LumovControl
}  // namespace Sync

#endif
