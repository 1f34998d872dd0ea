#include "view/TimeText.h"

#include <cstdio>

namespace Sync {
namespace LumovControl {

namespace {

timespec toTimespec(std::chrono::system_clock::time_point time) {
    const auto since = time.time_since_epoch();
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(since);
    return timespec{
        static_cast<time_t>(seconds.count()),
        static_cast<long>(std::chrono::duration_cast<std::chrono::nanoseconds>(since - seconds).count())};
}

}  // namespace

std::string TimeText::iso8601(const timespec& stamp) {
    std::tm local{};
    if (localtime_r(&stamp.tv_sec, &local) == nullptr)
        return "1970-01-01T00:00:00.000+00:00";
    char date[32];
    char zone[8];
    std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
    std::strftime(zone, sizeof zone, "%z", &local);  // +0100: ISO 8601 writes +01:00
    char text[64];
    std::snprintf(text, sizeof text, "%s.%03ld%.3s:%.2s", date, stamp.tv_nsec / 1000000, zone, zone + 3);
    return text;
}

std::string TimeText::iso8601(std::chrono::system_clock::time_point time) {
    return iso8601(toTimespec(time));
}

std::string TimeText::local(std::chrono::system_clock::time_point time) {
    const time_t seconds = toTimespec(time).tv_sec;
    std::tm local{};
    char text[32] = "";
    if (localtime_r(&seconds, &local) != nullptr)
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

}  // namespace LumovControl
}  // namespace Sync
