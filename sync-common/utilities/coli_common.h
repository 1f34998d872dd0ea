// Command transport between the daemon and the command server ("Sync_tavi_coli"): registration of
// commands, unpacking of command requests and collection of the command's output text, which leaves in
// SYNC_COLI_IND pieces and a final SYNC_COLI_RSP. Plain functions over process-wide state (one output
// buffer, one requester); single-threaded. All integers after the message number are in host order.
#ifndef SYNC_UTILITIES_COLI_COMMON_H
#define SYNC_UTILITIES_COLI_COMMON_H

#include <cstdint>
#include <string>
#include <string_view>

constexpr uint32_t SYNC_COLI_UP_IND = 0x9B600;
constexpr uint32_t SYNC_COLI_DOWN_IND = 0x9B601;
constexpr uint32_t SYNC_COLI_REG_CMD_REQ = 0x9B602;
constexpr uint32_t SYNC_COLI_REG_CMD_RSP = 0x9B603;
constexpr uint32_t SYNC_COLI_REQ = 0x9B604;
constexpr uint32_t SYNC_COLI_IND = 0x9B605;
constexpr uint32_t SYNC_COLI_RSP = 0x9B606;

// Layout: msgno at 0, then `len` (or `result`) at 4, then `len` bytes of packed arguments or text.
constexpr uint32_t COLI_LEN_OFFSET = 4;
constexpr uint32_t COLI_RESULT_OFFSET = 4;
constexpr uint32_t COLI_DATA_OFFSET = 8;
constexpr uint32_t COLI_SIGNAL_SIZE = 4;
constexpr uint32_t COLI_HEADER_SIZE = 8;

constexpr const char* COLI_SERVER_NAME = "Sync_tavi_coli";
constexpr uint32_t COLI_INVALID_PID = 0xFFFFFFFF;
constexpr int COLI_MAX_ARG_LEN = 200;
constexpr int COLI_MAX_LINE_LEN = 999;
// Output beyond this many characters leaves at once as an intermediate SYNC_COLI_IND.
constexpr uint32_t COLI_MAX_DISPLAY_LEN = 4095;

constexpr int UNPACK_OK = 0;
constexpr int UNPACK_FAILED = -1;

// Asks the mailbox library to deliver SYNC_COLI_UP_IND, sent by the command server, once it exists.
void coli_common_locate_proc();
// Arms a monitor on the command server that delivers SYNC_COLI_DOWN_IND when it disappears.
void coli_common_monitor(uint32_t pid);

// argc plus the sum of the argument lengths; 0 on error.
uint32_t coli_common_pack_args_len(int argc, const char* const* argv);
// Copies the arguments with their NULs one after the other into cmd; 0, or -1 on error.
int coli_common_pack_args(int argc, const char* const* argv, char* cmd);
// 0 when SYNC_COLI_REG_CMD_REQ went to pid, 1 when nothing was sent.
int coli_common_send_coli_reg_cmd_req(int argc, const char* const* argv, uint32_t pid);
// The command server's answer to a registration.
void coli_common_send_coli_reg_cmd_rsp(uint32_t pid, uint32_t result);

// Unpacks a SYNC_COLI_REQ: 0 with *argc/*argv set (argv is a malloc'ed array of pointers into msg,
// freed by the caller with free()) and the sender recorded as requester; -1 when the arguments cannot
// be unpacked (*argc 0, *argv null); -2, without a trace, for a message of another number.
int coli_common_unpack_coli_req_args(void* msg, int* argc, char*** argv);
// The same for SYNC_COLI_REG_CMD_REQ (the command server's side); records no requester.
int coli_common_unpack_coli_reg_cmd_req_args(void* msg, int* argc, char*** argv);
// Splits len bytes of NUL-terminated strings into a malloc'ed pointer array; UNPACK_OK or UNPACK_FAILED.
int unpack_args(char* text, uint32_t len, int* argc, char*** argv);

// One output line (cut to COLI_MAX_LINE_LEN characters) added to the output buffer.
void COLII(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
void add_display_info(const char* text);
// One line added whole, however long: the machine-readable answers, whose lines must not be cut.
void coli_common_add_display_line(std::string_view text);
// Sends the whole output buffer (or an empty text) to pid as SYNC_COLI_RSP and empties the buffer.
void coli_common_send_coli_rsp(uint32_t pid);

// The mailbox of the last request's sender, COLI_INVALID_PID before the first request.
uint32_t coli_common_get_requester();
// The text collected so far ("" when the buffer is empty).
const char* coli_common_get_display();
// Back to the state of a fresh process: no requester, empty buffer. For tests and fuzzing.
void coli_common_reset();

#endif
