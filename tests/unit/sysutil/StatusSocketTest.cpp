// The status socket with clients of the test's own: a document larger than any socket buffer
// arrives whole through partial writes, clients that never read are dropped oldest first, and the
// socket file is replaced and removed only when it is a socket of its own.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "StatusSocket.h"

namespace {

using SyncSys::StatusSocket;

int connectTo(const std::string& path) {
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    EXPECT_EQ(connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0) << path;
    return fd;
}

// Reads what the client is told, serving the socket while its answer is unfinished; bounded.
std::string readAll(int fd, StatusSocket& status) {
    std::string got;
    for (int rounds = 0; rounds < 10000; ++rounds) {
        status.write();
        pollfd ready{fd, POLLIN, 0};
        if (poll(&ready, 1, 1000) != 1)
            break;
        char buffer[65536];
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        got.append(buffer, static_cast<size_t>(n));
    }
    close(fd);
    return got;
}

TEST(StatusSocketTest, EveryClientGetsTheWholeDocumentAndThoseWhoNeverReadAreDroppedOldestFirst) {
    char dir[] = "/tmp/sync-status-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string path = StatusSocket::path(dir, "prog");
    const std::string big(4 << 20, 'x');  // far more than a socket buffer takes at once
    int built = 0;
    {
        StatusSocket status([&] { return ++built, big; });
        // A program that ended left its socket behind; a regular file there is nobody's to replace.
        std::ofstream(path) << "not a socket";
        EXPECT_FALSE(status.open(path));
        unlink(path.c_str());
        const int stale = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        path.copy(address.sun_path, sizeof address.sun_path - 1);
        ASSERT_EQ(bind(stale, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        close(stale);
        ASSERT_TRUE(status.open(path)) << status.error();
        struct stat made {};
        ASSERT_EQ(stat(path.c_str(), &made), 0);
        EXPECT_EQ(made.st_mode & 0777, 0660u);

        const int reader = connectTo(path);
        status.accept();
        EXPECT_EQ(status.writing().size(), 1u) << "the rest waits until the client takes more";
        EXPECT_EQ(readAll(reader, status), big);
        EXPECT_TRUE(status.writing().empty());

        // Clients that never read: past MOST_CLIENTS the oldest goes, so its answer ends short.
        std::vector<int> idle;
        for (size_t i = 0; i <= StatusSocket::MOST_CLIENTS; ++i) {
            idle.push_back(connectTo(path));
            status.accept();
        }
        EXPECT_EQ(status.writing().size(), StatusSocket::MOST_CLIENTS);
        EXPECT_LT(readAll(idle.front(), status).size(), big.size());
        EXPECT_EQ(readAll(idle.back(), status), big);
        for (size_t i = 1; i + 1 < idle.size(); ++i)
            close(idle[i]);
        EXPECT_EQ(built, 1 + static_cast<int>(idle.size()));
    }
    struct stat gone {};
    EXPECT_NE(stat(path.c_str(), &gone), 0) << "the socket file goes with its program";
    rmdir(dir);
}

}  // namespace
