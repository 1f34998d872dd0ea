#ifndef SYNC_IEPCSI_SINGLEWORDPRIMITIVE_H
#define SYNC_IEPCSI_SINGLEWORDPRIMITIVE_H

#include <cstddef>
#include <cstdint>

#include "control/BasePrimitive.h"

namespace Sync {
namespace Iepcsi {

// The shape of every port-control message whose payload is one 32-bit word at offset 12 (16 bytes):
// a subscription reference or a reject reason. The word's name appears in the trace line.
class SingleWordPrimitive : public BasePrimitive {
  public:
    static constexpr uint32_t SIZE = 16;
    static constexpr size_t WORD_OFFSET = 12;

    enum class Role {
        OUTGOING,   // client to server, traced when packed
        INCOMING,   // server to client, traced when unpacked
        REJECTION,  // server to client, traced as an error when unpacked
    };

    void* constructMessage() override;
    void fetchPrimitive(void* msg) override;

    Role getRole() const { return role_; }

  protected:
    SingleWordPrimitive(uint32_t primitiveId, uint32_t msgno, const char* name, const char* wordName,
                        Role role);

    uint32_t getWord() const { return word_; }
    void setWord(uint32_t value) { word_ = value; }

  private:
    const char* wordName_;
    Role role_;
    uint32_t word_ = 0;
};

}  // namespace Iepcsi
}  // namespace Sync

#endif
