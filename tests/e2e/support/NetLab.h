#ifndef SYNC_E2E_NETLAB_H
#define SYNC_E2E_NETLAB_H

#include <string>

namespace E2e {

// Two network namespaces of this test only, the node's and the far end's, joined by veth pairs:
// port n is "fh<n>" in the node's namespace and "fp<n>" at the far end, both up. The namespace
// names are unique per run (pid and a counter), so the links themselves never exist outside them.
// Everything goes with the namespaces, which are deleted by name when the object goes, also after
// a failed assertion. Nothing here touches the machine's own interfaces.
class NetLab {
  public:
    explicit NetLab(int ports);
    ~NetLab();
    NetLab(const NetLab&) = delete;
    NetLab& operator=(const NetLab&) = delete;

    // Whether every namespace and link was made.
    bool ready() const { return ready_; }
    const std::string& node() const { return node_; }
    const std::string& far() const { return far_; }
    static std::string nodeLink(int port) { return "fh" + std::to_string(port); }
    static std::string farLink(int port) { return "fp" + std::to_string(port); }

    // `ip -n <namespace> args...`; whether it succeeded.
    static bool ip(const std::string& netns, const std::string& args);
    // Sets or clears IFF_UP of a link as `ip link set` does, but in this process (SIOCSIFFLAGS inside
    // the namespace), so that a measured span holds no helper process.
    static bool switchLink(const std::string& netns, const std::string& link, bool up);

  private:
    std::string node_;
    std::string far_;
    bool ready_ = false;
};

}  // namespace E2e

#endif
