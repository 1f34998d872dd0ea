#include "EsmcPdu.h"

namespace SyncEsmcd {

namespace {

constexpr uint8_t SLOW_PROTOCOLS_MULTICAST[6] = {0x01, 0x80, 0xC2, 0x00, 0x00, 0x02};
constexpr uint8_t OSSP_SUBTYPE = 0x0A;
constexpr uint8_t ITU_OUI[3] = {0x00, 0x19, 0xA7};
constexpr uint16_t ITU_SUBTYPE = 0x0001;
constexpr uint8_t VERSION_1 = 0x10;
constexpr uint8_t EVENT_FLAG = 0x08;
constexpr uint8_t QL_TLV = 0x01;
constexpr uint16_t QL_TLV_LENGTH = 4;
constexpr uint8_t EXTENDED_QL_TLV = 0x02;
constexpr uint16_t EXTENDED_QL_TLV_LENGTH = 20;

class Writer {
  public:
    explicit Writer(EsmcPdu::Frame& frame) : frame_(frame) {}
    void u8(uint8_t value) { frame_[at_++] = value; }
    void u16(uint16_t value) {
        u8(static_cast<uint8_t>(value >> 8));
        u8(static_cast<uint8_t>(value));
    }
    void u64(uint64_t value) {
        for (int shift = 56; shift >= 0; shift -= 8)
            u8(static_cast<uint8_t>(value >> shift));
    }
    void bytes(const uint8_t* data, size_t length) {
        for (size_t i = 0; i < length; ++i)
            u8(data[i]);
    }
    void skip(size_t length) { at_ += length; }

  private:
    EsmcPdu::Frame& frame_;
    size_t at_ = 0;
};

}  // namespace

bool EsmcPdu::Quality::operator==(const Quality& other) const {
    return ssmCode == other.ssmCode && enhancedSsmCode == other.enhancedSsmCode &&
           clockIdentity == other.clockIdentity && flag == other.flag &&
           cascadedEeecs == other.cascadedEeecs && cascadedEecs == other.cascadedEecs;
}

EsmcPdu::Quality EsmcPdu::doNotUse(const Quality& last) {
    Quality quality = last;
    quality.ssmCode = Quality().ssmCode;
    quality.enhancedSsmCode = Quality().enhancedSsmCode;
    return quality;
}

EsmcPdu::Frame EsmcPdu::build(const Mac& source, const Quality& quality, bool event) {
    Frame frame{};  // the reserved octets and the padding stay zero
    Writer out(frame);
    out.bytes(SLOW_PROTOCOLS_MULTICAST, sizeof SLOW_PROTOCOLS_MULTICAST);
    out.bytes(source.data(), source.size());
    out.u16(ETHER_TYPE);
    out.u8(OSSP_SUBTYPE);
    out.bytes(ITU_OUI, sizeof ITU_OUI);
    out.u16(ITU_SUBTYPE);
    out.u8(static_cast<uint8_t>(VERSION_1 | (event ? EVENT_FLAG : 0)));
    out.skip(3);
    out.u8(QL_TLV);
    out.u16(QL_TLV_LENGTH);
    out.u8(quality.ssmCode & 0x0F);
    out.u8(EXTENDED_QL_TLV);
    out.u16(EXTENDED_QL_TLV_LENGTH);
    out.u8(quality.enhancedSsmCode);
    out.u64(quality.clockIdentity);
    out.u8(quality.flag);
    out.u8(quality.cascadedEeecs);
    out.u8(quality.cascadedEecs);
    return frame;
}

}  // namespace SyncEsmcd
