// Numbers, kinds and layout sizes of the data-plane control protocol. The server side speaks exactly
// one revision of it and accepts one client at a time.
#ifndef SYNC_ETHCENTRAL_SECLI_SECLIWIRE_H
#define SYNC_ETHCENTRAL_SECLI_SECLIWIRE_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace Sync {
namespace EthCentral {
namespace Secli {

constexpr uint32_t PROTOCOL_REVISION = 1;
constexpr uint32_t MAX_CLIENTS = 1;

// Primitive kinds. 1-9 are the connection protocol's (1, 5, 6, 7 and 9 are not used here).
enum PrimitiveId : uint32_t {
    PRIM_CONNECTION_ESTABLISHMENT_REQ = 2,
    PRIM_CONNECTION_ESTABLISHMENT_CFM = 3,
    PRIM_CONNECTION_ESTABLISHMENT_REJ = 4,
    PRIM_CLIENT_DOWN = 8,
    PRIM_INPUT_CONFIG_CREATE_RREQ = 10,
    PRIM_INPUT_CONFIG_CREATE_RCFM = 11,
    PRIM_INPUT_CONFIG_CREATE_RREJ = 12,
    PRIM_INPUT_CONFIG_CHANGE_RREQ = 13,
    PRIM_INPUT_CONFIG_CHANGE_RCFM = 14,
    PRIM_INPUT_CONFIG_CHANGE_RREJ = 15,
    PRIM_INPUT_CONFIG_REMOVE_RREQ = 16,
    PRIM_INPUT_CONFIG_REMOVE_RCFM = 17,
    PRIM_INPUT_DEFECT_FWD = 18,
    PRIM_INPUT_RECEIVED_SSM_FWD = 19,
    PRIM_INPUT_ASSIST_DATA_FWD = 20,
    PRIM_OUTPUT_CONFIG_CREATE_RREQ = 21,
    PRIM_OUTPUT_CONFIG_CREATE_RCFM = 22,
    PRIM_OUTPUT_CONFIG_CREATE_RREJ = 23,
    PRIM_OUTPUT_CONFIG_CHANGE_RREQ = 24,
    PRIM_OUTPUT_CONFIG_CHANGE_RCFM = 25,
    PRIM_OUTPUT_CONFIG_CHANGE_RREJ = 26,
    PRIM_OUTPUT_CONFIG_REMOVE_RREQ = 27,
    PRIM_OUTPUT_CONFIG_REMOVE_RCFM = 28,
    PRIM_OUTPUT_TRANSMIT_SSM_IND = 29,
    PRIM_OUTPUT_ESMC_CONTROL_IND = 30,
    PRIM_OUTPUT_MAC_ADDRESS_FWD = 31,
};

// Message numbers: one block; a service primitive's number follows from its kind.
constexpr uint32_t MSGNO_BASE = 0x94000;
constexpr uint32_t MSGNO_CLIENT_DOWN_IND = MSGNO_BASE;
constexpr uint32_t MSGNO_CONNECTION_ESTABLISHMENT_REQ = MSGNO_BASE + 2;
constexpr uint32_t MSGNO_CONNECTION_ESTABLISHMENT_CFM = MSGNO_BASE + 3;
constexpr uint32_t MSGNO_CONNECTION_ESTABLISHMENT_REJ = MSGNO_BASE + 4;
constexpr uint32_t serviceMsgno(uint32_t primitiveId) {
    return MSGNO_BASE + primitiveId - 5;
}

// Sizes of the messages whose layout is only the common header or the header and one word.
constexpr uint32_t HEADER_ONLY_SIZE = 12;
constexpr uint32_t ONE_WORD_SIZE = 16;
constexpr size_t FIRST_WORD_OFFSET = 12;

// Fixed text field widths.
constexpr size_t LDN_WIDTH = 256;
constexpr size_t INTERFACE_NAME_WIDTH = 256;
constexpr size_t MAC_ADDRESS_TEXT_WIDTH = 20;
constexpr size_t NETWORK_NAMESPACE_WIDTH = 256;

// What a text field of this width holds once written: the text up to any NUL, cut to width - 1.
inline std::string cutToField(const std::string& text, size_t width) {
    return std::string(text.c_str()).substr(0, width - 1);
}

}  // namespace Secli
}  // namespace EthCentral
}  // namespace Sync

#endif
