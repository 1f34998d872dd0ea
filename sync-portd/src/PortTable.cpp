#include "PortTable.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>
#include <utility>

#include "Number.h"

namespace SyncPortd {

namespace {

// Field widths of the port-control records, and the kernel's limit on interface names.
constexpr size_t PORT_NAME_WIDTH = 16;
constexpr size_t INTERFACE_NAME_LIMIT = 15;
constexpr size_t NAMESPACE_LIMIT = 63;

bool validName(const std::string& name) {
    for (const char c : name)
        if (c == '/' || std::isspace(static_cast<unsigned char>(c)))
            return false;
    return name != "." && name != "..";
}

}  // namespace

bool PortTable::Entry::operator==(const Entry& other) const {
    return role == other.role && rhaiId == other.rhaiId && portName == other.portName &&
           interfaceName == other.interfaceName && netns == other.netns;
}

bool PortTable::parse(std::istream& text) {
    entries_.clear();
    errors_.clear();
    std::set<std::string> names;
    std::set<std::pair<std::string, std::string>> interfaces;
    std::string line;
    for (size_t lineNumber = 1; std::getline(text, line); ++lineNumber) {
        std::istringstream stream(line.substr(0, line.find('#')));
        std::vector<std::string> words;
        for (std::string word; stream >> word;)
            words.push_back(word);
        if (words.empty())
            continue;
        Entry entry;
        std::string error;
        if (!parseLine(words, entry, error))
            ;
        else if (!names.insert(entry.portName).second)
            error = "port " + entry.portName + " is already in the table";
        else if (!interfaces.insert({entry.netns, entry.interfaceName}).second)
            error = "interface " + entry.interfaceName + " already belongs to another port";
        if (error.empty())
            entries_.push_back(entry);
        else
            errors_.push_back("line " + std::to_string(lineNumber) + ": " + error);
    }
    if (!errors_.empty())
        entries_.clear();
    return errors_.empty();
}

bool PortTable::load(const std::string& path) {
    std::ifstream file(path);
    if (!file) {
        entries_.clear();
        errors_ = {"cannot read " + path + ": " + std::strerror(errno)};
        return false;
    }
    const bool good = parse(file);
    for (std::string& error : errors_)
        error = path + ": " + error;
    return good;
}

bool PortTable::parseLine(const std::vector<std::string>& words, Entry& entry, std::string& error) {
    if (words[0] != "port" || words.size() < 5 || words.size() > 6) {
        error = "expected: port ROLE RHAI_ID PORT_NAME INTERFACE_NAME [NAMESPACE]";
        return false;
    }
    if (words[1] == "fronthaul")
        entry.role = 0x4;
    else
        SyncSys::Number::read(words[1], entry.role, "role (fronthaul or a number)", error);
    if (error.empty())
        SyncSys::Number::read(words[2], entry.rhaiId, "rhaiId", error);
    if (error.empty() && words[3].size() > PORT_NAME_WIDTH)
        error = "port name must have at most 16 characters";
    else if (error.empty() && (words[4].size() > INTERFACE_NAME_LIMIT || !validName(words[4])))
        error = "interface name must be a Linux interface name (at most 15 characters)";
    else if (error.empty() && words.size() == 6 &&
             (words[5].size() > NAMESPACE_LIMIT || !validName(words[5])))
        error = "namespace must be an ip-netns name of at most 63 characters";
    if (!error.empty())
        return false;
    entry.portName = words[3];
    entry.interfaceName = words[4];
    entry.netns = words.size() == 6 && words[5] != "-" ? words[5] : "";
    return true;
}

}  // namespace SyncPortd
