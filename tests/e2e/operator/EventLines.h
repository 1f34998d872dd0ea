#ifndef SYNC_E2E_EVENTLINES_H
#define SYNC_E2E_EVENTLINES_H

#include <map>
#include <string>
#include <vector>

namespace E2e {

// The stderr form of journal entries, read back into fields as journalctl -o json gives them:
//     program: [error: |warning: ]MESSAGE [FIELD=value FIELD="quoted \"value\"" ...]
// becomes MESSAGE, PRIORITY (3, 4 or 6) and each field. Lines without fields are left out.
class EventLines {
  public:
    using Entry = std::map<std::string, std::string>;

    static std::vector<Entry> parse(const std::string& output, const std::string& program);
};

}  // namespace E2e

#endif
