#ifndef SYNC_E2E_PRIVATEJOURNAL_H
#define SYNC_E2E_PRIVATEJOURNAL_H

#include <sys/types.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "TempDir.h"

namespace E2e {

// A systemd-journald of the test's own. The test process moves into a mount namespace of its own,
// with a fresh /run (and an empty directory over /var/log/journal), so that this journald and the
// programs the test starts afterwards meet at /run/systemd/journal/socket, and the machine's journal
// sees nothing. Needs root and systemd-journald; available() says whether it runs. journald is
// stopped by its pid when the object goes; the mounts go with the test process.
class PrivateJournal {
  public:
    using Entry = std::map<std::string, std::string>;

    PrivateJournal();
    ~PrivateJournal();
    PrivateJournal(const PrivateJournal&) = delete;
    PrivateJournal& operator=(const PrivateJournal&) = delete;

    bool available() const { return journald_ != nullptr; }
    // Why it is not available.
    const std::string& why() const { return why_; }
    // The entries process pid wrote, oldest first, as journalctl -o json reads them back.
    std::vector<Entry> entries(pid_t pid) const;

  private:
    bool start();

    TempDir dir_{"sync-journal"};
    bool varMounted_ = false;
    std::string why_;
    std::unique_ptr<ChildProcess> journald_;
};

}  // namespace E2e

#endif
