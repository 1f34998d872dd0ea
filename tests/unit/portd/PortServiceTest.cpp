// The port service over a kernel the test makes: links renamed, moved away and back, notifications
// lost, namespaces out of reach, gone or made anew, and port tables reloaded, judged by what the
// service serves. Real links, namespaces and the clients' view are the wire tests'.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "PortService.h"
#include "PrivateBus.h"

namespace {

using SyncPortd::PortService;
using SyncPortd::PortTable;
using SyncSys::LinkSource;
using Identity = SyncSys::NetnsWatch::Identity;
using Link = LinkSource::Link;
using Changes = std::vector<std::pair<Link, bool>>;  // a link as it is now, or gone

// "INDEX:NAME:MAC" for each link that is up with carrier, "...-" without carrier, "-..." gone.
Changes links(const std::string& text) {
    Changes changes;
    std::istringstream words(text);
    for (std::string word; words >> word;) {
        Link link;
        char name[16] = {};
        unsigned mac = 0;
        const bool gone = word[0] == '-';
        EXPECT_EQ(std::sscanf(word.c_str() + gone, "%d:%15[^:]:%x", &link.index, name, &mac), 3) << word;
        link.name = name;
        link.mac[5] = static_cast<uint8_t>(mac);
        link.up = true;
        link.carrier = word.back() != '-';
        changes.emplace_back(link, !gone);
    }
    return changes;
}

// The links of each namespace; every source open on a namespace is told each change, unless its
// notifications overflowed, when it fails on its next read instead.
struct FakeKernel {
    struct Namespace {
        std::map<int, Link> links;
        Identity identity{1, 1};
        std::string refusal;  // why it cannot be entered; empty: it can
    };
    struct Source : LinkSource {
        explicit Source(FakeKernel& kernel) : kernel(kernel) {}
        ~Source() override { kernel.sources.erase(this); }
        bool open(const std::string& name) override {
            const auto space = kernel.spaces.find(name);
            why = space == kernel.spaces.end() ? "No such file or directory" : space->second.refusal;
            if (!why.empty()) {
                why = "cannot enter network namespace " + name + ": " + why;
                return false;
            }
            netns = name;
            id = space->second.identity;
            for (const auto& [index, link] : space->second.links)
                pending.emplace_back(link, true);
            ++kernel.opens;
            kernel.sources.insert(this);
            return true;
        }
        int fd() const override { return -1; }
        bool read(const OnLink& onLink) override {
            const Changes told = std::move(pending);
            pending.clear();
            for (const auto& [link, present] : told)
                onLink(link, present);
            return !overflowed;
        }
        Identity identity() const override { return id; }
        const std::string& error() const override { return why; }

        FakeKernel& kernel;
        std::string netns, why;
        Identity id;
        Changes pending;
        bool overflowed = false;
    };

    void change(const std::string& netns, const std::string& text) {
        for (const auto& [link, present] : links(text)) {
            if (present)
                spaces[netns].links[link.index] = link;
            else
                spaces[netns].links.erase(link.index);
            for (Source* source : sources)
                if (source->netns == netns && !source->overflowed)
                    source->pending.emplace_back(link, present);
        }
    }
    size_t openOn(const std::string& netns) const {
        return std::count_if(sources.begin(), sources.end(), [&](Source* s) { return s->netns == netns; });
    }

    std::map<std::string, Namespace> spaces;
    std::set<Source*> sources;
    int opens = 0;
};

std::vector<PortTable::Entry> table(const std::string& text) {  // "PORT:INTERFACE:NAMESPACE ..."
    std::vector<PortTable::Entry> entries;
    std::istringstream words(text);
    for (std::string word; words >> word;) {
        const size_t first = word.find(':'), second = word.rfind(':');
        entries.push_back({0x4, 0, word.substr(0, first), word.substr(first + 1, second - first - 1),
                           word.substr(second + 1)});
    }
    return entries;
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
    PortService service_{[this] { return std::make_unique<FakeKernel::Source>(kernel_); }};
};

TEST_F(PortServiceTest, InterfacesRenamedMovedAwayAndBackAndLostNotificationsAreFollowed) {
    kernel_.change("ns", "1:fh1:01 2:fh2:02-");
    service_.setTable(table("A:fh1:ns B:fh2:ns"));
    EXPECT_EQ(served(service_), "1/1:01 1/0:02");
    const struct {
        const char* what;
        const char* changes;
        bool lost;  // the notifications overflow: the links are read anew
        const char* served;
    } steps[] = {
        {"fh1 renamed away", "1:fh1-old:01", false, "0/0:01 1/0:02"},
        {"another link renamed to fh1 takes its place", "3:fh9:09 3:fh1:09", false, "1/1:09 1/0:02"},
        {"fh1 moved to another namespace", "-3:fh1:09", false, "0/0:09 1/0:02"},
        {"and back", "4:fh1:04", false, "1/1:04 1/0:02"},
        {"fh1 and fh2 swap names through a third", "4:tmp:04 2:fh1:02- 4:fh2:04", false, "1/0:02 1/1:04"},
        {"fh1 went while notifications were lost", "-2:fh1:02", true, "0/0:02 1/1:04"},
        {"fh1 made again", "5:fh1:05", false, "1/1:05 1/1:04"},
        {"a swap while notifications were lost", "5:tmp:05 4:fh1:04 5:fh2:05-", true, "1/1:04 1/0:05"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        for (FakeKernel::Source* source : kernel_.sources)
            source->overflowed = step.lost;
        kernel_.change("ns", step.changes);
        service_.process();
        EXPECT_EQ(served(service_), step.served);
        EXPECT_EQ(kernel_.openOn("ns"), 1u);
    }
}

TEST_F(PortServiceTest, NamespacesOutOfReachGoneOrMadeAnewAreReadFromWhatHasTheNameNow) {
    const char* const EPERM_TEXT = "Operation not permitted";
    const struct {
        const char* what;
        ino_t inode;  // of the namespace named "ns"; 0: there is none
        const char* links;
        const char* refusal;
        const char* reported;  // the name the watch reports; empty: the table is reloaded
        const char* served;
        int opens;
        size_t refusals;  // "cannot enter" warnings so far
    } steps[] = {
        {"reported again", 1, "", EPERM_TEXT, "ns", "0/0:00", 0, 1},
        {"a reload tries again", 1, "", EPERM_TEXT, "", "0/0:00", 0, 1},
        {"out of reach for another reason", 1, "", "Invalid argument", "ns", "0/0:00", 0, 2},
        {"within reach", 1, "1:fh1:01", "", "ns", "1/1:01", 1, 2},
        {"reported again unchanged", 1, "1:fh1:01", "", "ns", "1/1:01", 1, 2},
        {"deleted", 0, "", "", "ns", "0/0:01", 1, 2},
        {"made again, its link not there yet", 2, "", "", "ns", "0/0:01", 2, 2},
        {"made anew between two reads, with the link", 3, "1:fh1:03", "", "ns", "1/1:03", 3, 2},
        {"made anew out of reach: told again", 4, "", EPERM_TEXT, "ns", "0/0:03", 3, 3},
        {"a namespace no port is in", 4, "", EPERM_TEXT, "elsewhere", "0/0:03", 3, 3},
    };
    kernel_.spaces["ns"].refusal = EPERM_TEXT;
    ::testing::internal::CaptureStderr();
    service_.setTable(table("A:fh1:ns"));
    std::string log = ::testing::internal::GetCapturedStderr();
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        kernel_.spaces.erase("ns");
        if (step.inode != 0) {
            kernel_.spaces["ns"] = {{}, {1, step.inode}, step.refusal};
            kernel_.change("ns", step.links);
        }
        ::testing::internal::CaptureStderr();
        if (*step.reported)
            service_.namespaceChanged(step.reported, step.inode ? Identity{1, step.inode} : Identity{});
        else
            service_.reload(table("A:fh1:ns"));
        log += ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(served(service_), step.served);
        EXPECT_EQ(kernel_.opens, step.opens);
        size_t refusals = 0;
        for (size_t at = 0; (at = log.find("cannot enter network namespace ns", at)) != std::string::npos;
             ++at)
            ++refusals;
        EXPECT_EQ(refusals, step.refusals) << log;
    }
}

TEST_F(PortServiceTest, ReloadsKeepWhatTheyCanAndLeaveTheBusOnlyWhenPortsCame) {
    PrivateBus bus;
    ASSERT_TRUE(bus.running());
    kernel_.change("ns", "1:fh1:01 2:fh2:02 3:fh3:03-");
    kernel_.change("other", "1:fh1:11-");
    ASSERT_TRUE(service_.start(table("A:fh1:ns B:fh2:ns"))) << service_.error();
    const struct {
        const char* what;
        const char* table;
        const char* served;
        bool leavesBus;
        size_t openOnNs, openOnOther;
    } steps[] = {
        {"B removed", "A:fh1:ns", "1/1:01", false, 1, 0},
        {"C added on a link already known", "A:fh1:ns C:fh3:ns", "1/1:01 1/0:03", true, 1, 0},
        {"A moved to another namespace", "A:fh1:other C:fh3:ns", "1/0:11 1/0:03", true, 1, 1},
        {"C removed: its namespace is no longer read", "A:fh1:other", "1/0:11", false, 0, 1},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        const uint32_t mailbox = service_.server().id();
        service_.reload(table(step.table));
        EXPECT_EQ(served(service_), step.served);
        EXPECT_EQ(service_.server().id() != mailbox, step.leavesBus);
        EXPECT_NE(service_.server().id(), 0u);
        EXPECT_EQ(kernel_.openOn("ns"), step.openOnNs);
        EXPECT_EQ(kernel_.openOn("other"), step.openOnOther);
    }
}

}  // namespace
