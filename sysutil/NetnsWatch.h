#ifndef SYNC_SYS_NETNSWATCH_H
#define SYNC_SYS_NETNSWATCH_H

#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

namespace SyncSys {

// The named network namespaces (ip-netns names: the files of /run/netns) as one descriptor that
// becomes readable only when one of them may have changed, and a read that says which did.
//
// A namespace has no event of its own. Its name is a file in the directory, which inotify reports,
// but the file becomes a namespace only when one is bind-mounted on it a moment later, which only the
// mount table's change notice reports; both wake the descriptor. A read then looks at the directory
// anew, so a name counts while a namespace is mounted on it, and a namespace deleted and made again
// under the same name between two reads shows in its identity (the namespace file's device and
// inode) where the name alone does not tell. While the directory does not exist, its parent is
// watched for it to appear.
class NetnsWatch {
  public:
    // The namespace behind a name; zero for none.
    struct Identity {
        dev_t device = 0;
        ino_t inode = 0;
        bool operator==(const Identity& other) const {
            return device == other.device && inode == other.inode;
        }
        bool operator!=(const Identity& other) const { return !(*this == other); }
        explicit operator bool() const { return inode != 0; }
    };

    explicit NetnsWatch(std::string directory = "/run/netns");
    ~NetnsWatch();
    NetnsWatch(const NetnsWatch&) = delete;
    NetnsWatch& operator=(const NetnsWatch&) = delete;

    // Starts watching and takes the namespaces there now; false (with error()) when it cannot.
    bool open();
    // -1 before open().
    int fd() const { return epoll_; }
    // The names whose namespace appeared, went or was made anew since the last read, in name order.
    // Safe to call when the descriptor is not readable: polling it may already have taken the mount
    // table's notice, so every read looks at the directory.
    std::vector<std::string> read();
    // The namespace behind `name` as the last read found it.
    Identity identity(const std::string& name) const;
    const std::string& error() const { return error_; }

    // The namespace file at `path` now (following a /proc/.../ns/net link too); zero when it is none.
    static Identity identityOf(const std::string& path);

  private:
    // Watches the directory, or its parent while the directory does not exist; whether that changed.
    bool arm();
    void drain();
    std::map<std::string, Identity> scan() const;
    void close();

    std::string directory_;
    int epoll_ = -1;
    int inotify_ = -1;
    int mounts_ = -1;
    int directoryWatch_ = -1;
    int parentWatch_ = -1;
    std::map<std::string, Identity> known_;
    std::string error_;
};

}  // namespace SyncSys

#endif
