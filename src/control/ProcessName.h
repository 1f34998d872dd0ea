#ifndef SYNC_LUMOVCONTROL_PROCESSNAME_H
#define SYNC_LUMOVCONTROL_PROCESSNAME_H

#include <string>

namespace Sync {
namespace LumovControl {

// The base name of argv[0], after its last '/' or '\\': the name of the process's mailbox.
std::string processName(const std::string& argv0);

}  // namespace LumovControl
}  // namespace Sync

#endif
