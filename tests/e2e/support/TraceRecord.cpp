#include "TraceRecord.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace E2e {

namespace {

// A string babeltrace2 printed in quotes, its escapes undone.
std::string unquoted(const std::string& text) {
    static const char kEscaped[] = "ntrvfab0";
    static const char kMeant[] = "\n\t\r\v\f\a\b";  // the NUL after \b is the one for \0
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const char* escape =
            text[i] == '\\' && i + 1 < text.size() ? std::strchr(kEscaped, text[++i]) : nullptr;
        out += escape != nullptr && *escape != '\0' ? kMeant[escape - kEscaped] : text[i];
    }
    return out;
}

bool isWordChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

// "[stamp] host name: {...}" or "[stamp] name: {...}": the name and the braces to the line's end.
// Read by hand: the standard library's regular expressions recurse once per character, which over
// the hundreds of thousands of events of a burst took minutes under the sanitizers.
bool eventLine(const std::string& line, std::string& name, std::string& body) {
    const size_t close = line.find(']');
    if (line.empty() || line[0] != '[' || close == std::string::npos || line.compare(close + 1, 1, " ") != 0)
        return false;
    const size_t first = close + 2;
    const size_t firstEnd = line.find(' ', first);
    if (firstEnd == std::string::npos || firstEnd == first)
        return false;
    const size_t secondEnd = line.find(' ', firstEnd + 1);
    // The name's word runs from start to the space at end and ends with the colon; the braces follow.
    const auto named = [&](size_t start, size_t end) {
        if (end == std::string::npos || end < start + 2 || line[end - 1] != ':' || line.size() < end + 3 ||
            line[end + 1] != '{' || line.back() != '}')
            return false;
        name = line.substr(start, end - 1 - start);
        body = line.substr(end + 1);
        return true;
    };
    // The host's word is optional and tried first.
    return (secondEnd != firstEnd + 1 && named(firstEnd + 1, secondEnd)) || named(first, firstEnd);
}

// Every "key = value" of the braces into fields, values unquoted; false when anything but braces,
// commas and spaces lies between them.
bool readFields(const std::string& body, std::map<std::string, std::string>& fields) {
    size_t covered = 0;  // the end of the last field read
    std::string separators;
    for (size_t at = 0; at < body.size();) {
        if (!isWordChar(body[at])) {
            ++at;
            continue;
        }
        size_t keyEnd = at;
        while (keyEnd < body.size() && isWordChar(body[keyEnd]))
            ++keyEnd;
        const size_t value = keyEnd + 3;
        if (body.compare(keyEnd, 3, " = ") != 0 || value >= body.size()) {
            at = keyEnd;
            continue;
        }
        size_t end = value;
        std::string text;
        if (body[value] == '"') {
            for (end = value + 1; end < body.size() && body[end] != '"'; ++end)
                end += body[end] == '\\' && end + 1 < body.size() ? 1 : 0;
            if (end >= body.size()) {
                at = keyEnd;
                continue;
            }
            text = unquoted(body.substr(value + 1, end - value - 1));
            ++end;
        } else {
            while (end < body.size() && std::strchr(",}\"", body[end]) == nullptr)
                ++end;
            while (end > value && body[end - 1] == ' ')
                --end;
            if (end == value) {
                at = keyEnd;
                continue;
            }
            text = body.substr(value, end - value);
        }
        separators.append(body, covered, at - covered);
        fields[body.substr(at, keyEnd - at)] = text;
        covered = at = end;
    }
    separators.append(body, covered, std::string::npos);
    return separators.find_first_not_of("{}, ") == std::string::npos;
}

}  // namespace

std::string TraceRecord::event() const {
    std::size_t colon = name.rfind(':');
    return colon == std::string::npos ? name : name.substr(colon + 1);
}

std::string TraceRecord::field(const std::string& key) const {
    auto it = fields.find(key);
    return it != fields.end() ? it->second : std::string();
}

pid_t TraceRecord::vpid() const {
    std::string text = field("vpid");
    return text.empty() ? -1 : static_cast<pid_t>(std::strtol(text.c_str(), nullptr, 10));
}

std::vector<TraceRecord> TraceRecord::parseAll(const std::string& text) {
    std::vector<TraceRecord> records;
    std::istringstream lines(text);
    std::string body;
    for (std::string line; std::getline(lines, line);) {
        TraceRecord record;
        if (eventLine(line, record.name, body) && readFields(body, record.fields))
            records.push_back(std::move(record));
    }
    return records;
}

}  // namespace E2e
