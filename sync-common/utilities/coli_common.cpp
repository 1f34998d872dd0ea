#include "utilities/coli_common.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "Macros.h"
#include "tavi.h"

namespace {

// The output of the command being answered, NUL-terminated; null (or empty, between the pieces of
// one answer) when nothing waits. It grows by doubling: an answer of thousands of lines is added a
// line at a time.
char* display = nullptr;
size_t displayLen = 0;
size_t displayRoom = 0;  // bytes allocated
uint32_t requester = COLI_INVALID_PID;

void dropDisplay() {
    std::free(display);
    display = nullptr;
    displayLen = 0;
    displayRoom = 0;
}

uint32_t hostWord(const void* msg, uint32_t offset) {
    uint32_t value;
    std::memcpy(&value, static_cast<const char*>(msg) + offset, sizeof value);
    return value;
}

void putHostWord(void* msg, uint32_t offset, uint32_t value) {
    std::memcpy(static_cast<char*>(msg) + offset, &value, sizeof value);
}

uint32_t msgnoOf(const void* msg) {
    return hostWord(msg, 0);
}

// A text message (SYNC_COLI_IND or SYNC_COLI_RSP): len = text length + 1, then the text and its NUL.
void* buildTextMessage(uint32_t msgno, const char* text, size_t length) {
    const uint32_t len = static_cast<uint32_t>(length) + 1;
    void* msg = tavi_alloc(COLI_DATA_OFFSET + len, msgno);
    if (msg == nullptr)
        return nullptr;
    putHostWord(msg, COLI_LEN_OFFSET, len);
    if (length > 0)
        std::memcpy(static_cast<char*>(msg) + COLI_DATA_OFFSET, text, length);
    return msg;
}

// The common part of unpacking both argument-carrying messages. The packed arguments must lie wholly
// inside the message and end with a NUL, so that no string runs past it.
int unpackArgs(const char* caller, void* msg, uint32_t msgno, int* argc, char*** argv) {
    if (msg == nullptr) {
        TRACE_ERROR("%s invalid msg provided [msg = %p]", caller, msg);
        return -1;
    }
    if (tavi_size(msg) < COLI_SIGNAL_SIZE || msgnoOf(msg) != msgno)
        return -2;
    if (argc == nullptr) {
        TRACE_ERROR("%s invalid argc provided [argc = %p]", caller, static_cast<void*>(argc));
        return -1;
    }
    if (argv == nullptr) {
        TRACE_ERROR("%s invalid argv provided [argv = %p]", caller, static_cast<void*>(argv));
        return -1;
    }
    *argc = 0;
    *argv = nullptr;
    const uint32_t size = tavi_size(msg);
    const uint32_t len = size >= COLI_HEADER_SIZE ? hostWord(msg, COLI_LEN_OFFSET) : 0;
    char* packed = static_cast<char*>(msg) + COLI_DATA_OFFSET;
    if (size < COLI_HEADER_SIZE || len > size - COLI_HEADER_SIZE) {
        TRACE_WARNING("%s packed arguments of %u bytes do not fit the %u-byte message", caller, len, size);
    } else if (len != 0 && packed[len - 1] != '\0') {
        // The peer's fault as much as an overrun: its last argument would run on into the padding.
        TRACE_WARNING("%s packed arguments of %u bytes end without a NUL", caller, len);
    } else if (len != 0 && unpack_args(packed, len, argc, argv) == UNPACK_OK) {
        return 0;
    }
    TRACE_ERROR("%s calling unpack_args() failed [unpack_args() != UNPACK_OK]", caller);
    return -1;
}

}  // namespace

void coli_common_locate_proc() {
    TRACE_ENTER("%s", "");
    void* msg = tavi_alloc(COLI_SIGNAL_SIZE, SYNC_COLI_UP_IND);
    if (msg == nullptr) {
        TRACE_ERROR("%s failed allocating SYNC_COLI_UP_IND [fwk_alloc() = %p]", __func__, msg);
        TRACE_RETURN("%s", "");
        return;
    }
    tavi_locate_async(COLI_SERVER_NAME, &msg, TAVI_OWN_ID);
    TRACE_RETURN("%s", "");
}

void coli_common_monitor(uint32_t pid) {
    TRACE_ENTER("pid: %u", pid);
    if (pid == COLI_INVALID_PID) {
        TRACE_ERROR("%s invalid pid provided [pid = %u [0x%08X]]", __func__, pid, pid);
        TRACE_RETURN("%s", "");
        return;
    }
    void* msg = tavi_alloc(COLI_SIGNAL_SIZE, SYNC_COLI_DOWN_IND);
    if (msg == nullptr) {
        TRACE_ERROR("%s failed allocating SYNC_COLI_DOWN_IND [fwk_alloc() = %p]", __func__, msg);
        TRACE_RETURN("%s", "");
        return;
    }
    const uint32_t ref = tavi_monitor(pid, &msg);
    TRACE_RETURN("ref: %u", ref);
}

uint32_t coli_common_pack_args_len(int argc, const char* const* argv) {
    TRACE_ENTER("argc: %d", argc);
    if (argv == nullptr) {
        TRACE_ERROR("%s invalid argv provided [argv = %p]", __func__, static_cast<const void*>(argv));
        TRACE_RETURN("len: %u", 0u);
        return 0;
    }
    uint32_t len = 0;
    for (int i = 0; i < argc; ++i) {
        if (argv[i] == nullptr) {
            TRACE_ERROR("%s invalid *argv provided [*argv = %p]", __func__,
                        static_cast<const void*>(argv[i]));
            TRACE_RETURN("len: %u", 0u);
            return 0;
        }
        len += static_cast<uint32_t>(std::strlen(argv[i])) + 1;
    }
    TRACE_RETURN("len: %u", len);
    return len;
}

int coli_common_pack_args(int argc, const char* const* argv, char* cmd) {
    TRACE_ENTER("argc: %d", argc);
    int result = -1;
    if (argv == nullptr) {
        TRACE_ERROR("%s invalid argv provided [argv = %p]", __func__, static_cast<const void*>(argv));
    } else if (cmd == nullptr) {
        TRACE_ERROR("%s invalid cmd provided [cmd = %p]", __func__, static_cast<void*>(cmd));
    } else {
        result = 0;
        for (int i = 0; i < argc && result == 0; ++i) {
            if (argv[i] == nullptr) {
                TRACE_ERROR("%s invalid *argv provided [*argv = %p]", __func__,
                            static_cast<const void*>(argv[i]));
                result = -1;
            } else if (std::strlen(argv[i]) > static_cast<size_t>(COLI_MAX_ARG_LEN)) {
                TRACE_ERROR("%s too long command line argument provided [argv[%d] = \"%s\"]", __func__, i,
                            argv[i]);
                result = -1;
            }
        }
        for (int i = 0; i < argc && result == 0; ++i) {
            const size_t length = std::strlen(argv[i]) + 1;
            std::memcpy(cmd, argv[i], length);
            cmd += length;
        }
    }
    TRACE_RETURN("%d", result);
    return result;
}

int coli_common_send_coli_reg_cmd_req(int argc, const char* const* argv, uint32_t pid) {
    TRACE_ENTER("argc: %d, pid: %u", argc, pid);
    if (argv == nullptr || argc < 1) {
        TRACE_ERROR("%s invalid argv provided [argv = %p]", __func__, static_cast<const void*>(argv));
        TRACE_RETURN("%d", 1);
        return 1;
    }
    if (argv[0] == nullptr) {
        TRACE_ERROR("%s invalid *argv provided [*argv = %p]", __func__, static_cast<const void*>(argv[0]));
        TRACE_RETURN("%d", 1);
        return 1;
    }
    if (pid == COLI_INVALID_PID) {
        TRACE_ERROR("%s invalid pid provided [pid = %u [0x%08X]]", __func__, pid, pid);
        TRACE_RETURN("%d", 1);
        return 1;
    }
    const uint32_t len = coli_common_pack_args_len(argc, argv);
    if (len == 0) {
        TRACE_RETURN("%d", 1);
        return 1;
    }
    void* msg = tavi_alloc(COLI_DATA_OFFSET + len, SYNC_COLI_REG_CMD_REQ);
    if (msg == nullptr) {
        TRACE_ERROR("%s failed allocating SYNC_COLI_REG_CMD_REQ [fwk_alloc() = %p]", __func__, msg);
        TRACE_RETURN("%d", 1);
        return 1;
    }
    putHostWord(msg, COLI_LEN_OFFSET, len);
    if (coli_common_pack_args(argc, argv, static_cast<char*>(msg) + COLI_DATA_OFFSET) != 0) {
        tavi_free(&msg);
        TRACE_RETURN("%d", 1);
        return 1;
    }
    TRACE_SEND_MSG("SYNC_COLI_REG_CMD_REQ with argc = %d, argv[0]= \"%s\"", argc, argv[0]);
    tavi_send(&msg, pid, TAVI_OWN_ID);
    TRACE_RETURN("%d", 0);
    return 0;
}

void coli_common_send_coli_reg_cmd_rsp(uint32_t pid, uint32_t result) {
    TRACE_ENTER("pid: %u, result: %u", pid, result);
    if (pid == COLI_INVALID_PID) {
        TRACE_ERROR("%s invalid pid provided [pid = %u[0x%08X]]", __func__, pid, pid);
        TRACE_RETURN("%s", "");
        return;
    }
    void* msg = tavi_alloc(COLI_HEADER_SIZE, SYNC_COLI_REG_CMD_RSP);
    if (msg == nullptr) {
        TRACE_ERROR("%s failed allocating SYNC_COLI_REG_CMD_RSP [fwk_alloc() = %p]", __func__, msg);
        TRACE_RETURN("%s", "");
        return;
    }
    putHostWord(msg, COLI_RESULT_OFFSET, result);
    TRACE_SEND_MSG("SYNC_COLI_REG_CMD_RSP with result = %u", result);
    tavi_send(&msg, pid, TAVI_OWN_ID);
    TRACE_RETURN("%s", "");
}

int coli_common_unpack_coli_req_args(void* msg, int* argc, char*** argv) {
    TRACE_ENTER("msg: %p", msg);
    const int result = unpackArgs(__func__, msg, SYNC_COLI_REQ, argc, argv);
    if (result == 0)
        requester = tavi_sender(msg);
    TRACE_RETURN("%d", result);
    return result;
}

int coli_common_unpack_coli_reg_cmd_req_args(void* msg, int* argc, char*** argv) {
    TRACE_ENTER("msg: %p", msg);
    const int result = unpackArgs(__func__, msg, SYNC_COLI_REG_CMD_REQ, argc, argv);
    TRACE_RETURN("%d", result);
    return result;
}

int unpack_args(char* text, uint32_t len, int* argc, char*** argv) {
    TRACE_ENTER("len: %u", len);
    // Every string must end inside the len bytes, so the last byte has to be a NUL.
    if (text == nullptr || argc == nullptr || argv == nullptr || len == 0 || text[len - 1] != '\0') {
        TRACE_RETURN("%d", UNPACK_FAILED);
        return UNPACK_FAILED;
    }
    int count = 0;
    for (uint32_t at = 0; at < len; at += static_cast<uint32_t>(std::strlen(text + at)) + 1)
        ++count;
    char** strings = static_cast<char**>(std::calloc(static_cast<size_t>(count), sizeof(char*)));
    if (strings == nullptr) {
        TRACE_RETURN("%d", UNPACK_FAILED);
        return UNPACK_FAILED;
    }
    int index = 0;
    for (uint32_t at = 0; at < len; at += static_cast<uint32_t>(std::strlen(text + at)) + 1)
        strings[index++] = text + at;
    *argc = count;
    *argv = strings;
    if (displayLen > 0) {
        TRACE_WARNING("Display is not empty -> incorrect usage of COLII by system class");
        dropDisplay();
    }
    TRACE_RETURN("%d", UNPACK_OK);
    return UNPACK_OK;
}

void COLII(const char* fmt, ...) {
    TRACE_ENTER_FREQ("%s", "");
    if (fmt == nullptr) {
        TRACE_ERROR("%s invalid fmt provided [fmt = %p]", __func__, static_cast<const void*>(fmt));
        TRACE_RETURN_FREQ("%s", "");
        return;
    }
    char line[COLI_MAX_LINE_LEN + 1];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(line, sizeof line, fmt, args);
    va_end(args);
    add_display_info(line);
    TRACE_RETURN_FREQ("%s", "");
}

namespace {

// Adds textLen characters of text and a newline to the output buffer, which leaves as SYNC_COLI_IND
// once it has grown past COLI_MAX_DISPLAY_LEN.
void appendDisplay(const char* text, size_t textLen) {
    const size_t newLen = displayLen + textLen + 1;
    if (newLen + 1 > displayRoom) {
        const size_t room = std::max({newLen + 1, 2 * displayRoom, size_t{COLI_MAX_DISPLAY_LEN} + 1});
        char* grown = static_cast<char*>(std::realloc(display, room));
        if (grown == nullptr) {
            TRACE_ERROR("%s failed allocating %zu bytes [realloc() = %p]", "add_display_info", room,
                        static_cast<void*>(grown));
            dropDisplay();
            return;
        }
        display = grown;
        displayRoom = room;
    }
    std::memcpy(display + displayLen, text, textLen);
    display[newLen - 1] = '\n';
    display[newLen] = '\0';
    displayLen = newLen;

    if (displayLen > COLI_MAX_DISPLAY_LEN && requester != COLI_INVALID_PID) {
        void* msg = buildTextMessage(SYNC_COLI_IND, display, displayLen);
        if (msg == nullptr) {
            TRACE_ERROR("%s failed allocating SYNC_COLI_IND [fwk_alloc() = %p]", "add_display_info", msg);
        } else {
            TRACE_SEND_MSG("SYNC_COLI_IND with len = %u", static_cast<uint32_t>(displayLen) + 1);
            tavi_send(&msg, requester, TAVI_OWN_ID);
            displayLen = 0;  // the room stays for the next piece
            display[0] = '\0';
        }
    }
}

}  // namespace

void add_display_info(const char* text) {
    TRACE_ENTER_FREQ("%s", "");
    if (text == nullptr) {
        TRACE_ERROR("%s invalid text provided [text = %p]", __func__, static_cast<const void*>(text));
        TRACE_RETURN_FREQ("%s", "");
        return;
    }
    appendDisplay(text, strnlen(text, COLI_MAX_LINE_LEN));
    TRACE_RETURN_FREQ("%s", "");
}

void coli_common_add_display_line(std::string_view text) {
    TRACE_ENTER_FREQ("length: %zu", text.size());
    appendDisplay(text.data(), text.size());
    TRACE_RETURN_FREQ("%s", "");
}

void coli_common_send_coli_rsp(uint32_t pid) {
    TRACE_ENTER("pid: %u", pid);
    if (pid == COLI_INVALID_PID) {
        TRACE_ERROR("%s invalid pid provided [pid = %u [0x%08X]]", __func__, pid, pid);
        TRACE_RETURN("%s", "");
        return;
    }
    void* msg = buildTextMessage(SYNC_COLI_RSP, display, displayLen);
    if (msg == nullptr) {
        TRACE_ERROR("%s failed allocating SYNC_COLI_RSP [fwk_alloc = %p]", __func__, msg);
        TRACE_RETURN("%s", "");
        return;
    }
    TRACE_SEND_MSG("SYNC_COLI_RSP with len = %u", static_cast<uint32_t>(displayLen) + 1);
    tavi_send(&msg, pid, TAVI_OWN_ID);
    dropDisplay();
    TRACE_RETURN("%s", "");
}

uint32_t coli_common_get_requester() {
    return requester;
}

const char* coli_common_get_display() {
    return display != nullptr ? display : "";
}

void coli_common_reset() {
    dropDisplay();
    requester = COLI_INVALID_PID;
}
