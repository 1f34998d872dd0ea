#ifndef SYNC_CONTROL_BASEPRIMITIVE_H
#define SYNC_CONTROL_BASEPRIMITIVE_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace Sync {

// One message of an interface. A primitive knows its kind, its message number and its layout: it builds
// an outgoing mailbox message from its fields (constructMessage) and fills its fields from a received
// one (fetchPrimitive). Every interface message starts with the same header: the message number in host
// order at 0, procedureReference at 4 and connectionReference at 8, both big-endian.
//
// Concrete primitives describe their layout through the protected helpers below; every read and write
// they make is checked against the message's real size, so a layout fault never touches memory outside
// the message.
class BasePrimitive {
  public:
    static constexpr uint32_t UNSET = 0xFFFFFFFFu;
    static constexpr size_t PROCEDURE_REFERENCE_OFFSET = 4;
    static constexpr size_t CONNECTION_REFERENCE_OFFSET = 8;
    static constexpr size_t PAYLOAD_OFFSET = 12;
    static constexpr uint32_t HEADER_SIZE = 12;

    // Kinds shared by every interface. 1-9 are run by the connection protocol, 10 and up belong to the
    // application. On the server side kind 8 is the death of a client rather than of the server.
    enum Kind : uint32_t {
        SERVER_UP = 1,
        INIT_REQ = 2,
        INIT_CFM = 3,
        INIT_REJ = 4,
        INIT_SUS = 5,
        TERM_REQ = 6,
        TERM_CFM = 7,
        SERVER_DOWN = 8,
        CLIENT_DOWN = 8,
        SERVER_LOST = 9,
        FIRST_SERVICE = 10,
    };

    virtual ~BasePrimitive();

    // A new message holding the fields; the caller sends it (the mailbox library then owns it).
    // Primitives that are only ever received build nothing and return null.
    virtual void* constructMessage();
    // Copies the fields of a received message, which stays owned by the receive loop. The caller has
    // made sure the message holds requiredSize(msg) bytes.
    virtual void fetchPrimitive(void* msg);
    // Bytes a received message must hold for fetchPrimitive to read every field of the layout. Only
    // asked of messages holding at least getMessageSize() bytes, so a variable layout can read the
    // count that sizes it from its fixed part.
    virtual uint64_t requiredSize(const void* msg) const;

    uint32_t getPrimitiveId() const { return primitiveId_; }
    uint32_t getMsgno() const { return msgno_; }
    const char* getName() const { return name_; }
    // Full size of a fixed layout, or the size of the fixed part of a variable one.
    uint32_t getMessageSize() const { return messageSize_; }

    uint32_t getProcedureReference() const { return procedureReference_; }
    void setProcedureReference(uint32_t value) { procedureReference_ = value; }
    uint32_t getConnectionReference() const { return connectionReference_; }
    void setConnectionReference(uint32_t value) { connectionReference_ = value; }
    // The two words that tie a client's later primitives to its init request.
    uint32_t getConnectionWord1() const { return connectionWord1_; }
    void setConnectionWord1(uint32_t value) { connectionWord1_ = value; }
    uint32_t getConnectionWord2() const { return connectionWord2_; }
    void setConnectionWord2(uint32_t value) { connectionWord2_ = value; }
    // Free for the concrete interfaces.
    uint32_t getExtraWord1() const { return extraWord1_; }
    void setExtraWord1(uint32_t value) { extraWord1_ = value; }
    uint32_t getExtraWord2() const { return extraWord2_; }
    void setExtraWord2(uint32_t value) { extraWord2_ = value; }

  protected:
    // name is the message's name in traces ("IEPCSI_INIT_CFM"); it must outlive the primitive.
    BasePrimitive(uint32_t primitiveId, uint32_t msgno, const char* name, uint32_t messageSize);

    // Allocates the message (getMessageSize() or size bytes, zero-filled) and writes the header from
    // the primitive's references. Null when the mailbox library refuses.
    void* allocMessage() const;
    void* allocMessage(uint32_t size) const;
    // Copies procedureReference and connectionReference from a received message.
    void readHeader(const void* msg);

    // Fixed-width integers at a byte offset; big-endian unless named Host. A field that would end past
    // the message is a layout fault: ERROR, nothing written, and reads give 0.
    static uint32_t getU32(const void* msg, size_t offset);
    static void putU32(void* msg, size_t offset, uint32_t value);
    static int32_t getS32(const void* msg, size_t offset);
    static void putS32(void* msg, size_t offset, int32_t value);
    static uint16_t getU16(const void* msg, size_t offset);
    static void putU16(void* msg, size_t offset, uint16_t value);
    static uint64_t getU64(const void* msg, size_t offset);
    static void putU64(void* msg, size_t offset, uint64_t value);
    static uint8_t getU8(const void* msg, size_t offset);
    static void putU8(void* msg, size_t offset, uint8_t value);
    static uint32_t getHostU32(const void* msg, size_t offset);
    static void putHostU32(void* msg, size_t offset, uint32_t value);
    static bool getBytes(const void* msg, size_t offset, void* out, size_t count);
    static bool putBytes(void* msg, size_t offset, const void* in, size_t count);

    // A fixed-width text field, read up to its NUL but never past the field or the message: a text
    // that fills its field is read whole.
    static std::string getText(const void* msg, size_t offset, size_t width);
    // Writes text into a field of width bytes, cut to width - 1 characters, NUL-terminated and
    // zero-padded.
    static void putText(void* msg, size_t offset, size_t width, const std::string& text);

  private:
    static bool fits(const void* msg, size_t offset, size_t count);

    uint32_t primitiveId_;
    uint32_t msgno_;
    uint32_t procedureReference_ = UNSET;
    uint32_t connectionReference_ = UNSET;
    uint32_t connectionWord1_ = UNSET;
    uint32_t connectionWord2_ = UNSET;
    uint32_t extraWord1_ = UNSET;
    uint32_t extraWord2_ = UNSET;
    const char* name_;
    uint32_t messageSize_;
};

}  // namespace Sync

#endif
