#include "EsmcCapture.h"

#include <arpa/inet.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <sstream>

#include "ChildProcess.h"
#include "NetnsScope.h"
#include "TempDir.h"

namespace E2e {

namespace {

constexpr uint16_t SLOW_PROTOCOLS = 0x8809;
constexpr size_t SSM_OFFSET = 27;

const char* const FIELDS[] = {"frame.time_epoch",
                              "ossp.esmc.version",
                              "ossp.esmc.event_flag",
                              "ossp.esmc.tlv_type",
                              "ossp.esmc.tlv_ql_ssm",
                              "ossp.esmc.tlv_ext_ql_essm",
                              "ossp.esmc.tlv_ext_ql_clockid",
                              "ossp.esmc.tlv_ext_ql_eeec",
                              "ossp.esmc.tlv_ext_ql_eec",
                              "frame.len",
                              "_ws.expert.message"};

void put32(std::FILE* file, uint32_t value) {
    std::fwrite(&value, sizeof value, 1, file);
}

unsigned number(const std::string& text) {
    return static_cast<unsigned>(std::strtoul(text.c_str(), nullptr, 0));
}

}  // namespace

EsmcCapture::EsmcCapture(const std::string& netns, const std::vector<std::string>& interfaces)
    : frames_(interfaces.size()) {
    const SyncSys::NetnsScope scope(netns);  // the sockets stay in it for good
    ready_ = scope.entered();
    for (const std::string& name : interfaces) {
        const int fd = socket(AF_PACKET, SOCK_RAW | SOCK_CLOEXEC | SOCK_NONBLOCK, htons(SLOW_PROTOCOLS));
        sockaddr_ll address{};
        address.sll_family = AF_PACKET;
        address.sll_protocol = htons(SLOW_PROTOCOLS);
        address.sll_ifindex = static_cast<int>(if_nametoindex(name.c_str()));
        const int on = 1;
        const int buffer = 4 << 20;
        ready_ = ready_ && fd >= 0 && address.sll_ifindex != 0 &&
                 bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
                 setsockopt(fd, SOL_SOCKET, SO_TIMESTAMPNS, &on, sizeof on) == 0 &&
                 setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &buffer, sizeof buffer) == 0;
        fds_.push_back(fd);
    }
}

EsmcCapture::~EsmcCapture() {
    for (int fd : fds_)
        if (fd >= 0)
            close(fd);
}

double EsmcCapture::now() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

void EsmcCapture::drain() {
    for (size_t i = 0; i < fds_.size(); ++i) {
        for (;;) {
            uint8_t bytes[1600];
            char control[256];
            iovec iov{bytes, sizeof bytes};
            msghdr message{};
            message.msg_iov = &iov;
            message.msg_iovlen = 1;
            message.msg_control = control;
            message.msg_controllen = sizeof control;
            const ssize_t got = recvmsg(fds_[i], &message, 0);
            if (got <= 0)
                break;
            double time = now();
            for (cmsghdr* c = CMSG_FIRSTHDR(&message); c != nullptr; c = CMSG_NXTHDR(&message, c)) {
                if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_TIMESTAMPNS) {
                    timespec ts{};
                    std::memcpy(&ts, CMSG_DATA(c), sizeof ts);
                    time = static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
                }
            }
            frames_[i].push_back(Frame{time, std::vector<uint8_t>(bytes, bytes + got)});
        }
    }
}

bool EsmcCapture::waitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        drain();
        if (done())
            return true;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        std::vector<pollfd> fds;
        for (int fd : fds_)
            fds.push_back(pollfd{fd, POLLIN, 0});
        poll(fds.data(), fds.size(), static_cast<int>(std::min<long>(left.count(), 50)));
    }
}

unsigned EsmcCapture::lastSsm(size_t i) const {
    if (frames_[i].empty() || frames_[i].back().bytes.size() <= SSM_OFFSET)
        return 0xFF;
    return frames_[i].back().bytes[SSM_OFFSET] & 0x0F;
}

double EsmcCapture::firstWithSsm(size_t i, size_t from, unsigned ssm) const {
    for (size_t f = from; f < frames_[i].size(); ++f)
        if (frames_[i][f].bytes.size() > SSM_OFFSET && (frames_[i][f].bytes[SSM_OFFSET] & 0x0F) == ssm)
            return frames_[i][f].time;
    return -1;
}

std::vector<EsmcDecoded> EsmcCapture::decode(size_t i, size_t from, int option) const {
    TempDir dir("sync-esmc");
    const std::string path = dir.file("capture.pcap");
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return {};
    // pcap with nanosecond time stamps, Ethernet frames.
    for (uint32_t word : {0xA1B23C4Du, 0x00040002u, 0u, 0u, 65535u, 1u})
        put32(file, word);
    for (size_t f = from; f < frames_[i].size(); ++f) {
        const Frame& frame = frames_[i][f];
        const auto seconds = static_cast<uint32_t>(frame.time);
        const auto size = static_cast<uint32_t>(frame.bytes.size());
        for (uint32_t word : {seconds, static_cast<uint32_t>((frame.time - seconds) * 1e9), size, size})
            put32(file, word);
        std::fwrite(frame.bytes.data(), 1, frame.bytes.size(), file);
    }
    std::fclose(file);

    std::vector<std::string> argv = {
        "tshark",
        "-r",
        path,
        "-o",
        std::string("ossp.option_network:Option ") + (option == 2 ? "II" : "I") + " network",
        "-T",
        "fields",
        "-E",
        "occurrence=a",
        "-E",
        "aggregator=,"};
    for (const char* field : FIELDS) {
        argv.push_back("-e");
        argv.push_back(field);
    }
    const ChildProcess::Result result = ChildProcess::run(argv, std::chrono::seconds(60));
    std::vector<EsmcDecoded> decoded;
    std::istringstream lines(result.output);
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::string> cells;
        std::istringstream split(line);
        for (std::string cell; std::getline(split, cell, '\t');)
            cells.push_back(cell);
        if (cells.size() < 10 || cells[0].empty() || !std::isdigit(static_cast<unsigned char>(cells[0][0])))
            continue;  // tshark's own remarks (it warns when run as root)
        cells.resize(11);
        EsmcDecoded pdu;
        pdu.time = std::strtod(cells[0].c_str(), nullptr);
        pdu.version = number(cells[1]);
        pdu.event = cells[2] == "1" || cells[2] == "True";
        pdu.tlvTypes = cells[3];
        pdu.ssm = number(cells[4]);
        pdu.enhancedSsm = number(cells[5]);
        pdu.clockId = std::strtoull(cells[6].c_str(), nullptr, 0);
        pdu.eeecs = number(cells[7]);
        pdu.eecs = number(cells[8]);
        pdu.length = number(cells[9]);
        pdu.expert = cells[10];
        decoded.push_back(pdu);
    }
    return decoded;
}

}  // namespace E2e
