#ifndef SYNC_E2E_FRONTHAULROAD_H
#define SYNC_E2E_FRONTHAULROAD_H

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "Road.h"
#include "WireBuffer.h"

namespace E2e {

// The road of FronthaulScript's four ports, with what the daemon must send the data plane for each
// of them, byte for byte.
class FronthaulRoad : public Road {
  protected:
    // Road::bringUp(), then the output id of each port learnt from the creation requests.
    void bringUp(Peer hosted = Peer::NONE, const DaemonProcess::Options& options = {});

    // What the daemon sends the data plane, byte for byte, for output `id` on port n (1..4).
    static SyncTools::WireBuffer createRequest(uint32_t id, size_t n);
    // A change request has the layout of a creation request.
    static SyncTools::WireBuffer changeRequest(uint32_t id, size_t n);
    static SyncTools::WireBuffer transmitSsm(uint32_t id, uint32_t ssm, uint32_t enhanced,
                                             uint64_t masterId = 0);
    static SyncTools::WireBuffer esmcControl(uint32_t id, uint32_t output);
    static SyncTools::WireBuffer removeRequest(uint32_t id);
    // Port number 1..4 of an interface name "fhN"; 0 for another text.
    static size_t portOf(const std::string& interfaceName);
    // Port number 1..4 whose output has id `id`; 0 for none.
    size_t portOfOutput(uint32_t id) const;
    // What a configured port's output is told: ePRTC (SSM 0x2, enhanced 0x21), ESMC off.
    static SyncTools::WireBuffer transmitsEprtc(uint32_t id, size_t) { return transmitSsm(id, 0x2, 0x21); }
    static SyncTools::WireBuffer esmcOff(uint32_t id, size_t) { return esmcControl(id, 0); }
    using Expected = std::function<SyncTools::WireBuffer(uint32_t id, size_t n)>;
    // The orders from index `from` on are, for each port n, exactly expected(id, n) for its output, in
    // the order given, and nothing else; the ids of outputs created among them are learnt first.
    void expectEachPortTold(size_t from, const std::vector<Expected>& expected);
    // Success when the order arrived as exactly these bytes; otherwise where they first differ.
    static ::testing::AssertionResult sameBytes(const Order& order, const SyncTools::WireBuffer& expected);

    // Output id of each port, 1..4 (index 0 unused), from the creation requests.
    uint32_t outputIds_[FronthaulScript::kPorts + 1] = {};
};

}  // namespace E2e

#endif
