// Feeds arbitrary bytes to the command arguments' unpacking: the packed words on their own, and
// SYNC_COLI_REQ and SYNC_COLI_REG_CMD_REQ messages of exactly the input's size (the first byte picks
// which; the rest is the message after its number), so any read past the message is caught. A
// successful unpacking must give words that lie inside the message and cover its packed part exactly.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "FakeTavi.h"
#include "TestController.h"
#include "WireBytes.h"
#include "tavi.h"
#include "trace/TraceHooks.h"
#include "utilities/coli_common.h"

namespace {

constexpr uint32_t REQUESTER = 0x2002;

void quietSyslog(int, const char*, ...) {}

// The words must follow one another from `packed`, each ending with its NUL, over exactly len bytes.
void checkWords(const char* packed, size_t len, int argc, char** argv) {
    size_t at = 0;
    for (int i = 0; i < argc; ++i) {
        if (argv[i] != packed + at)
            __builtin_trap();
        at += std::strlen(argv[i]) + 1;
    }
    if (at != len)
        __builtin_trap();
    std::free(argv);
}

void splitPacked(const uint8_t* data, size_t size) {
    if (size == 0)
        return;
    char* text = static_cast<char*>(std::malloc(size));
    std::memcpy(text, data, size);
    int argc = 0;
    char** argv = nullptr;
    const int result = unpack_args(text, static_cast<uint32_t>(size), &argc, &argv);
    if ((result == UNPACK_OK) != (text[size - 1] == '\0'))
        __builtin_trap();
    if (result == UNPACK_OK)
        checkWords(text, size, argc, argv);
    std::free(text);
}

void unpackMessage(uint32_t msgno, const uint8_t* data, size_t size) {
    const std::vector<uint8_t> bytes = Sync::Test::wire(msgno, data, size);
    FakeTavi::inject(REQUESTER, bytes);
    void* msg = tavi_receive(nullptr, 0, TAVI_ANY_SENDER);
    int argc = 0;
    char** argv = nullptr;
    const int result = msgno == SYNC_COLI_REQ ? coli_common_unpack_coli_req_args(msg, &argc, &argv)
                                              : coli_common_unpack_coli_reg_cmd_req_args(msg, &argc, &argv);
    if (result == 0) {
        uint32_t len = 0;
        std::memcpy(&len, bytes.data() + COLI_LEN_OFFSET, 4);
        if (bytes.size() < COLI_HEADER_SIZE || len > bytes.size() - COLI_HEADER_SIZE)
            __builtin_trap();
        checkWords(static_cast<const char*>(msg) + COLI_DATA_OFFSET, len, argc, argv);
    } else if (argc != 0 || argv != nullptr) {
        __builtin_trap();
    }
    tavi_free(&msg);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = [] {
        Sync::setTraceSyslog(&quietSyslog);
        return Sync::Test::openFakeMailbox();
    }();
    if (!ready)
        __builtin_trap();
    if (size == 0)
        return 0;
    splitPacked(data + 1, size - 1);
    unpackMessage((data[0] & 1) != 0 ? SYNC_COLI_REG_CMD_REQ : SYNC_COLI_REQ, data + 1, size - 1);
    coli_common_reset();
    return 0;
}
