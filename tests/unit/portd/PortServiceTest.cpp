// The port service over a kernel the test makes: links renamed, moved away and back, notifications
// lost, and port tables reloaded, judged by what the service serves. Real links, namespaces that come
// and go and the clients' view are the wire tests'.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "PortService.h"
#include "PrivateBus.h"

namespace {

using SyncPortd::LinkSource;
using SyncPortd::PortService;
using SyncPortd::PortTable;
using Link = LinkSource::Link;

// The links of each namespace; every source open on a namespace is told each change, unless its
// notifications overflow, when it fails instead.
class FakeKernel {
  public:
    struct Namespace {
        std::map<int, Link> links;
        SyncSys::NetnsWatch::Identity identity{1, 1};
        std::string refusal;  // why it cannot be entered; empty: it can
    };

    class Source : public LinkSource {
      public:
        explicit Source(FakeKernel& kernel) : kernel_(kernel) {}
        ~Source() override { kernel_.sources_.erase(this); }
        bool open(const std::string& netns) override {
            const auto space = kernel_.spaces.find(netns);
            if (space == kernel_.spaces.end() || !space->second.refusal.empty()) {
                error_ =
                    "cannot enter network namespace " + netns + ": " +
                    (space == kernel_.spaces.end() ? "No such file or directory" : space->second.refusal);
                return false;
            }
            netns_ = netns;
            identity_ = space->second.identity;
            ++kernel_.opens;
            for (const auto& [index, link] : space->second.links)
                pending_.emplace_back(link, true);
            kernel_.sources_.insert(this);
            return true;
        }
        int fd() const override { return -1; }
        bool read(const OnLink& onLink) override {
            std::vector<std::pair<Link, bool>> pending;
            pending.swap(pending_);
            for (const auto& [link, present] : pending)
                onLink(link, present);
            return !overflowed_;
        }
        SyncSys::NetnsWatch::Identity identity() const override { return identity_; }
        const std::string& error() const override { return error_; }

      private:
        friend class FakeKernel;
        FakeKernel& kernel_;
        std::string netns_;
        SyncSys::NetnsWatch::Identity identity_;
        std::string error_;
        std::vector<std::pair<Link, bool>> pending_;
        bool overflowed_ = false;
    };

    PortService::LinkSources sources() {
        return [this] { return std::make_unique<Source>(*this); };
    }
    // A link made, changed or renamed (the same index).
    void set(const std::string& netns, const Link& link) {
        spaces[netns].links[link.index] = link;
        tell(netns, link, true);
    }
    void remove(const std::string& netns, int index) {
        const Link link = spaces[netns].links[index];
        spaces[netns].links.erase(index);
        tell(netns, link, false);
    }
    // The sources of `netns` lose what comes next and fail on their next read.
    void overflow(const std::string& netns) {
        for (Source* source : sources_)
            source->overflowed_ = source->overflowed_ || source->netns_ == netns;
    }
    size_t openOn(const std::string& netns) const {
        size_t open = 0;
        for (const Source* source : sources_)
            open += source->netns_ == netns;
        return open;
    }

    std::map<std::string, Namespace> spaces;
    int opens = 0;

  private:
    void tell(const std::string& netns, const Link& link, bool present) {
        for (Source* source : sources_)
            if (source->netns_ == netns && !source->overflowed_)
                source->pending_.emplace_back(link, present);
    }
    std::set<Source*> sources_;
};

Link link(int index, const std::string& name, uint8_t mac, bool carrier = true) {
    Link made;
    made.index = index;
    made.name = name;
    made.mac = {2, 0, 0, 0, 0, mac};
    made.up = true;
    made.carrier = carrier;
    return made;
}

PortTable::Entry entry(const std::string& port, const std::string& interfaceName, const std::string& netns) {
    PortTable::Entry made;
    made.portName = port;
    made.interfaceName = interfaceName;
    made.netns = netns;
    return made;
}

// What the service serves of each port, in table order: "admin/oper:last MAC octet", e.g. "1/0:02".
std::string served(PortService& service) {
    std::string text;
    for (const auto& port : service.server().ports()) {
        char line[32];
        std::snprintf(line, sizeof line, "%s%u/%u:%02x", text.empty() ? "" : " ", port.adminState,
                      port.operState, port.macAddress[5]);
        text += line;
    }
    return text;
}

class PortServiceTest : public ::testing::Test {
  protected:
    FakeKernel kernel_;
    PortService service_{kernel_.sources()};
};

TEST_F(PortServiceTest, InterfacesRenamedMovedAwayAndBackAndLostNotificationsAreFollowed) {
    kernel_.set("ns", link(1, "fh1", 0x01));
    kernel_.set("ns", link(2, "fh2", 0x02, false));
    service_.setTable({entry("A", "fh1", "ns"), entry("B", "fh2", "ns")});
    EXPECT_EQ(served(service_), "1/1:01 1/0:02");
    const struct {
        const char* what;
        std::vector<std::pair<Link, bool>> changes;  // present, or gone
        bool lost;                                   // the notifications overflow: read anew
        const char* served;
    } steps[] = {
        {"fh1 renamed away", {{link(1, "fh1-old", 0x01), true}}, false, "0/0:01 1/0:02"},
        {"another link renamed to fh1 takes its place",
         {{link(3, "fh9", 0x09), true}, {link(3, "fh1", 0x09), true}},
         false,
         "1/1:09 1/0:02"},
        {"fh1 moved to another namespace", {{link(3, "fh1", 0x09), false}}, false, "0/0:09 1/0:02"},
        {"and back", {{link(4, "fh1", 0x04), true}}, false, "1/1:04 1/0:02"},
        {"fh1 and fh2 swap names through a third",
         {{link(4, "tmp", 0x04), true}, {link(2, "fh1", 0x02, false), true}, {link(4, "fh2", 0x04), true}},
         false,
         "1/0:02 1/1:04"},
        {"fh1 went while notifications were lost", {{link(2, "fh1", 0x02), false}}, true, "0/0:02 1/1:04"},
        {"fh1 made again", {{link(5, "fh1", 0x05), true}}, false, "1/1:05 1/1:04"},
        {"a swap while notifications were lost",
         {{link(5, "tmp", 0x05), true}, {link(4, "fh1", 0x04), true}, {link(5, "fh2", 0x05, false), true}},
         true,
         "1/1:04 1/0:05"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        if (step.lost)
            kernel_.overflow("ns");
        for (const auto& [changed, present] : step.changes)
            present ? kernel_.set("ns", changed) : kernel_.remove("ns", changed.index);
        service_.process();
        EXPECT_EQ(served(service_), step.served);
        EXPECT_EQ(kernel_.openOn("ns"), 1u);
    }
}

size_t count(const std::string& text, const std::string& part) {
    size_t found = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++found;
    return found;
}

TEST_F(PortServiceTest, NamespacesOutOfReachGoneOrMadeAnewAreReadFromWhatHasTheNameNow) {
    using Identity = SyncSys::NetnsWatch::Identity;
    const std::vector<PortTable::Entry> table = {entry("A", "fh1", "ns")};
    kernel_.spaces["ns"].refusal = "Operation not permitted";
    ::testing::internal::CaptureStderr();
    service_.setTable(table);
    const auto made = [&](Identity identity, std::vector<Link> links, std::string refusal = "") {
        return [=] {
            FakeKernel::Namespace& space = kernel_.spaces["ns"];
            space = {{}, identity, refusal};
            for (const Link& link : links)
                space.links[link.index] = link;
        };
    };
    const struct {
        const char* what;
        std::function<void()> act;
        std::string netns;
        Identity reported;
        const char* served;
        int opens;
        size_t refusals;  // "cannot enter" warnings so far
    } steps[] = {
        {"reported again, still out of reach", [] {}, "ns", {1, 1}, "0/0:00", 0, 1},
        {"a reload tries again", [&] { service_.reload(table); }, "", {}, "0/0:00", 0, 1},
        {"out of reach for another reason",
         [&] { kernel_.spaces["ns"].refusal = "Invalid argument"; },
         "ns",
         {1, 1},
         "0/0:00",
         0,
         2},
        {"within reach", made({1, 1}, {link(1, "fh1", 0x01)}), "ns", {1, 1}, "1/1:01", 1, 2},
        {"reported again unchanged", [] {}, "ns", {1, 1}, "1/1:01", 1, 2},
        {"deleted", [&] { kernel_.spaces.erase("ns"); }, "ns", {}, "0/0:01", 1, 2},
        {"made again, its link not there yet", made({1, 2}, {}), "ns", {1, 2}, "0/0:01", 2, 2},
        {"made anew between two reads, with the link",
         made({1, 3}, {link(1, "fh1", 0x03)}),
         "ns",
         {1, 3},
         "1/1:03",
         3,
         2},
        {"made anew out of reach: told again",
         made({1, 4}, {}, "Operation not permitted"),
         "ns",
         {1, 4},
         "0/0:03",
         3,
         3},
        {"a namespace no port is in", [] {}, "elsewhere", {1, 9}, "0/0:03", 3, 3},
    };
    std::string log;
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        if (!step.netns.empty())
            service_.namespaceChanged(step.netns, step.reported);
        log += ::testing::internal::GetCapturedStderr();
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(served(service_), step.served);
        EXPECT_EQ(kernel_.opens, step.opens);
        EXPECT_EQ(count(log, "cannot enter network namespace ns"), step.refusals) << log;
    }
    ::testing::internal::GetCapturedStderr();
}

TEST_F(PortServiceTest, ReloadsKeepWhatTheyCanAndLeaveTheBusOnlyWhenPortsCame) {
    PrivateBus bus;
    ASSERT_TRUE(bus.running());
    kernel_.set("ns", link(1, "fh1", 0x01));
    kernel_.set("ns", link(2, "fh2", 0x02));
    kernel_.set("ns", link(3, "fh3", 0x03, false));
    kernel_.set("other", link(1, "fh1", 0x11, false));
    ASSERT_TRUE(service_.start({entry("A", "fh1", "ns"), entry("B", "fh2", "ns")})) << service_.error();
    const struct {
        const char* what;
        std::vector<PortTable::Entry> table;
        const char* served;
        bool leavesBus;
        size_t openOnNs, openOnOther;
    } steps[] = {
        {"B removed", {entry("A", "fh1", "ns")}, "1/1:01", false, 1, 0},
        {"C added on a link already known",
         {entry("A", "fh1", "ns"), entry("C", "fh3", "ns")},
         "1/1:01 1/0:03",
         true,
         1,
         0},
        {"A moved to another namespace",
         {entry("A", "fh1", "other"), entry("C", "fh3", "ns")},
         "1/0:11 1/0:03",
         true,
         1,
         1},
        {"C removed: its namespace is no longer read", {entry("A", "fh1", "other")}, "1/0:11", false, 0, 1},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        const uint32_t mailbox = service_.server().id();
        service_.reload(step.table);
        EXPECT_EQ(served(service_), step.served);
        EXPECT_EQ(service_.server().id() != mailbox, step.leavesBus);
        EXPECT_NE(service_.server().id(), 0u);
        EXPECT_EQ(kernel_.openOn("ns"), step.openOnNs);
        EXPECT_EQ(kernel_.openOn("other"), step.openOnOther);
    }
}

}  // namespace
