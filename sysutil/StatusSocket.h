#ifndef SYNC_SYS_STATUSSOCKET_H
#define SYNC_SYS_STATUSSOCKET_H

#include <sys/types.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace SyncSys {

class Options;
class ServiceLoop;

// A program's status for other programs (the metrics exporter) and for operators: a Unix stream
// socket that hands every client one document, the program's status as JSON, and closes. A client
// connects and reads to the end; it sends nothing. Who may connect is the directory's business (on
// a node /run/sync-lumov-control, group sync-operators); the socket itself is 0660.
//
// Served by the program's loop and never blocking it: a client that reads slowly is written to as
// its socket takes more, and when more than MOST_CLIENTS wait for the rest of their answer the
// oldest is dropped, so a client that never reads costs one document's memory for a while, no more.
class StatusSocket {
  public:
    static constexpr const char* DEFAULT_DIR = "/run/sync-lumov-control";
    static constexpr size_t MOST_CLIENTS = 8;

    // Where `program` answers in `dir`: DIR/PROGRAM.sock.
    static std::string path(const std::string& dir, const std::string& program);
    // Adds --status-dir DIR to a program's command line (default DEFAULT_DIR; "" for none).
    static void addOption(Options& options, std::string& dir);

    explicit StatusSocket(std::function<std::string()> document);
    ~StatusSocket();
    StatusSocket(const StatusSocket&) = delete;
    StatusSocket& operator=(const StatusSocket&) = delete;

    // Listens at path, replacing a socket left there by a program that ended; false, with error(),
    // when it cannot.
    bool open(const std::string& path);
    // Opens the socket of `program` in `dir` unless dir is empty or does not exist; a failure is a
    // warning, as the program's own work does not depend on it.
    void openIn(const std::string& dir, const std::string& program);
    // Serves on the loop: new clients, and the rest of each answer as its client takes it.
    void serveOn(ServiceLoop& loop);
    const std::string& error() const { return error_; }

    int listening() const { return listener_; }
    // The clients whose answer is not written whole yet.
    std::vector<int> writing() const;
    // Takes the clients that wait and writes to them what their sockets take.
    void accept();
    void write();

  private:
    struct Client {
        int fd;
        std::shared_ptr<const std::string> document;
        size_t written;
    };

    // Writes what the client's socket takes; false once the client is done with (answered or gone).
    static bool send(Client& client);
    void close();

    std::function<std::string()> document_;
    int listener_ = -1;
    std::string path_;
    ino_t inode_ = 0;  // of the socket file this object made, so that it removes only its own
    std::deque<Client> clients_;
    std::string error_;
};

}  // namespace SyncSys

#endif
