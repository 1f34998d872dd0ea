// Feeds arbitrary datagrams from the PTP stack's management socket, and arbitrary messages from the
// bus, to sync-clockd's clock service and its sync-control server. The input is a sequence of
// records: a selector byte, a 16-bit big-endian length and that many bytes. Selector 0x40 makes the
// bytes a bus message after its number, which the low six bits pick from the protocol's first
// block (connection request, the subscriptions); otherwise they are a datagram, and
// with 0x01 its first 48 octets are overwritten by a well-formed management header, so that the
// fuzzer reaches the TLVs sooner. 0x80 lets a step of time pass first (the next byte, in 100 ms).
//
// Every datagram the service sends must itself decode, and the printout must always be whole.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "ClockService.h"
#include "FuzzInput.h"
#include "Log.h"
#include "PtpManagement.h"
#include "SyncControlServer.h"
#include "WireBuffer.h"

using SyncClockd::ClockService;
using SyncClockd::PtpManagement;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SyncSys::Log::silence();
    FuzzInput input(data, size);
    ClockService::TimePoint now = ClockService::TimePoint(std::chrono::hours(1));
    SyncPeers::SyncControlServer server("fuzz");
    ClockService clock(
        server, ClockService::Settings{},
        [](const std::vector<uint8_t>& datagram) {
            std::string why;
            if (!PtpManagement::decode(datagram.data(), datagram.size(), why))
                __builtin_trap();  // the service sent what it could not read itself
            return 0;
        },
        [&now] { return now; });
    server.setListener(&clock);
    const std::vector<uint8_t> header = PtpManagement::request(PtpManagement::RESPONSE, 0, 1, 0);

    while (!input.empty()) {
        const uint8_t selector = input.byte();
        if (selector & 0x80) {
            now += std::chrono::milliseconds(100 * input.byte());
            clock.work();
        }
        const size_t length = static_cast<size_t>(input.byte()) << 8 | input.byte();
        size_t got = 0;
        const uint8_t* body = input.take(length, got);
        if (selector & 0x40) {
            SyncPeers::WireBuffer message(0x9B900 + (selector & 0x3F), 4 + got);
            message.putBytes(4, body, got);
            server.inject(message, 0x7000);
            continue;
        }
        std::vector<uint8_t> datagram(body, body + got);
        if ((selector & 0x01) && datagram.size() >= PtpManagement::BODY_SIZE)
            std::copy(header.begin(), header.begin() + PtpManagement::BODY_SIZE, datagram.begin());
        clock.received(datagram.data(), datagram.size());
    }
    if (clock.status().size() < 5)
        __builtin_trap();
    return 0;
}
