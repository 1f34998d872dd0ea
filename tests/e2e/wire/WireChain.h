#ifndef SYNC_E2E_WIRECHAIN_H
#define SYNC_E2E_WIRECHAIN_H

#include <gtest/gtest.h>

#include <string>

#include "WireLab.h"

namespace E2e {

// The whole chain to the wire in a WireLab with two fronthaul ports: the daemon, sync-sim serving
// sync control (it reads further steps from a pipe the test writes to) and port control, or
// sync-portd serving port control from the kernel (kernelPorts_), and sync-esmcd. A third port lives
// in a namespace that does not exist, so its output is refused (sync-sim) or it stays locked
// (sync-portd). The chain is up when PDUs arrive on both far ends: quality ePRTC under option I, QL
// enabled.
class WireChain : public ::testing::Test {
  public:
    static constexpr int kPorts = 2;
    static constexpr uint64_t kClockId = 0x00005EFFFE1000FFull;  // the clock MAC with FFFE in the middle
    static constexpr int kHoldSeconds = 4;

  protected:
    void SetUp() override;
    void TearDown() override;

    // Hands sync-sim one more step.
    void step(const std::string& line);
    // The steps that bring a fresh daemon to the configured state.
    void configure();
    void startEsmcd();
    void startPortd();
    // Lines of sync-esmcd's output that contain text.
    size_t esmcdLines(const std::string& text);

    WireLab lab_{kPorts};
    bool kernelPorts_ = false;  // set by a test class before SetUp
    int simInput_ = -1;
};

}  // namespace E2e

#endif
