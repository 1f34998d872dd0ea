#ifndef SYNC_CLOCKD_PTPLINK_H
#define SYNC_CLOCKD_PTPLINK_H

#include <cstdint>
#include <string>
#include <vector>

namespace SyncClockd {

// The datagram socket to a PTP stack's management socket. A datagram socket has to be bound to be
// answered, so this one binds to "sync-clockd.<pid>" beside the stack's own socket and removes that
// name again when it closes. Datagrams from any other address are refused.
class PtpLink {
  public:
    explicit PtpLink(std::string serverPath);
    ~PtpLink();
    PtpLink(const PtpLink&) = delete;
    PtpLink& operator=(const PtpLink&) = delete;

    // False, with `why`, when the socket cannot be made or bound.
    bool open(std::string& why);
    void close();
    int fd() const { return fd_; }
    const std::string& serverPath() const { return serverPath_; }

    // 0, or the errno of a send the stack did not take (ENOENT, ECONNREFUSED: it is not running).
    int send(const std::vector<uint8_t>& datagram);
    // The next datagram from the stack into `datagram`; false when none waits. A datagram from
    // another address is skipped, and `stranger` set to its sender.
    bool receive(std::vector<uint8_t>& datagram, std::string& stranger);

  private:
    std::string serverPath_;
    std::string ownPath_;
    int fd_ = -1;
};

}  // namespace SyncClockd

#endif
