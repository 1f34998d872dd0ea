// Feeds arbitrary Deliver calls to the mailbox's reading of them. The calls are built on a bus object
// whose connection never completes (one end of a socket pair), so no message bus is needed. The input
// is a list of values to append: an op byte picks the type (u, ay, s, y, i, t, b, ai, v, (uay), a long
// ay), the bytes after it give the value. The reader must hand over exactly the bytes of a well-formed
// `uay` call of at least four bytes, with the given mailbox id as sender, and drop everything else.
#include <sys/socket.h>
#include <systemd/sd-bus.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "DeliverReader.h"
#include "FuzzInput.h"
#include "MessageBuffer.h"
#include "tavi.h"

namespace {

using Sync::Platform::DeliverReader;
using Sync::Platform::MessageBuffer;

// A bus that never connects: enough for sd-bus to build and seal method calls.
sd_bus* unconnectedBus() {
    int fds[2];
    sd_bus* bus = nullptr;
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, fds) < 0 || sd_bus_new(&bus) < 0 ||
        sd_bus_set_fd(bus, fds[0], fds[0]) < 0 || sd_bus_start(bus) < 0)
        __builtin_trap();
    return bus;  // fds[1] stays open for the whole run, so the connection never breaks
}

void quiet(const char*) {}

struct Expected {
    std::string signature;
    uint32_t from = 0;
    const uint8_t* bytes = nullptr;
    size_t size = 0;
};

// Appends one value chosen by the input; false when sd-bus refuses it (an invalid string, say).
bool appendOne(sd_bus_message* m, FuzzInput& in, Expected& expected) {
    const uint8_t op = in.byte() % 11;
    size_t got = 0;
    int r = 0;
    switch (op) {
        case 0: {
            const uint32_t value = in.word();
            r = sd_bus_message_append(m, "u", value);
            expected.signature += "u";
            if (expected.signature == "u")
                expected.from = value;
            break;
        }
        case 1:
        case 10: {
            size_t length = in.byte();
            if (op == 10)
                length = length << 8 | in.byte();
            const uint8_t* bytes = in.take(length, got);
            r = sd_bus_message_append_array(m, 'y', bytes, got);
            expected.signature += "ay";
            if (expected.signature == "uay") {
                expected.bytes = bytes;
                expected.size = got;
            }
            break;
        }
        case 2: {
            const uint8_t* bytes = in.take(in.byte(), got);
            r = sd_bus_message_append(m, "s", std::string(reinterpret_cast<const char*>(bytes), got).c_str());
            expected.signature += "s";
            break;
        }
        case 3:
            r = sd_bus_message_append(m, "y", in.byte());
            expected.signature += "y";
            break;
        case 4:
            r = sd_bus_message_append(m, "i", static_cast<int32_t>(in.word()));
            expected.signature += "i";
            break;
        case 5: {
            const uint64_t high = in.word();
            r = sd_bus_message_append(m, "t", high << 32 | in.word());
            expected.signature += "t";
            break;
        }
        case 6:
            r = sd_bus_message_append(m, "b", in.byte() & 1);
            expected.signature += "b";
            break;
        case 7: {
            const uint8_t count = in.byte() % 8;
            int32_t values[8] = {};
            for (uint8_t i = 0; i < count; ++i)
                values[i] = static_cast<int32_t>(in.word());
            r = sd_bus_message_append_array(m, 'i', values, count * sizeof(int32_t));
            expected.signature += "ai";
            break;
        }
        case 8:
            r = sd_bus_message_append(m, "v", "u", in.word());
            expected.signature += "v";
            break;
        default: {
            const uint32_t from = in.word();
            const uint8_t* bytes = in.take(in.byte(), got);
            r = sd_bus_message_open_container(m, 'r', "uay");
            if (r >= 0)
                r = sd_bus_message_append(m, "u", from);
            if (r >= 0)
                r = sd_bus_message_append_array(m, 'y', bytes, got);
            if (r >= 0)
                r = sd_bus_message_close_container(m);
            expected.signature += "(uay)";
            break;
        }
    }
    return r >= 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static sd_bus* bus = [] {
        tavi_set_warning_callback(&quiet);
        return unconnectedBus();
    }();
    FuzzInput in(data, size);
    sd_bus_message* m = nullptr;
    if (sd_bus_message_new_method_call(bus, &m, "org.tavi.Id.m1", "/org/tavi/Mailbox", "org.tavi.Mailbox",
                                       "Deliver") < 0)
        __builtin_trap();
    Expected expected;
    bool built = true;
    for (int values = 0; built && !in.empty() && values < 16; ++values)
        built = appendOne(m, in, expected);
    if (built && sd_bus_message_seal(m, 1, 0) >= 0 && sd_bus_message_rewind(m, 1) >= 0) {
        void* msg = DeliverReader::read(m);
        const bool wellFormed = expected.signature == "uay" && expected.size >= TAVI_MIN_MSG_SIZE;
        if ((msg != nullptr) != wellFormed)
            __builtin_trap();
        if (msg != nullptr &&
            (MessageBuffer::sender(msg) != expected.from || MessageBuffer::size(msg) != expected.size ||
             std::memcmp(msg, expected.bytes, expected.size) != 0))
            __builtin_trap();
        MessageBuffer::release(msg);
    }
    sd_bus_message_unref(m);
    return 0;
}
