#include "TraceRecord.h"

#include <cstdlib>
#include <cstring>
#include <regex>
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
    static const std::regex event(R"(^\[[^\]]*\] (?:\S+ )?(\S+): (\{.*\})$)");
    static const std::regex field(R"re((\w+) = (?:"((?:[^"\\]|\\.)*)"|([^,}"]*[^,}" ])))re");
    static const std::regex separators(R"(^[{}, ]*$)");
    std::vector<TraceRecord> records;
    std::istringstream lines(text);
    std::smatch m;
    for (std::string line; std::getline(lines, line);) {
        if (!std::regex_match(line, m, event))
            continue;
        TraceRecord record;
        record.name = m[1];
        const std::string body = m[2];
        std::string rest;
        auto at = body.cbegin();
        for (std::sregex_iterator it(body.begin(), body.end(), field), end; it != end; ++it) {
            rest.append(at, (*it)[0].first);
            at = (*it)[0].second;
            record.fields[(*it)[1]] = (*it)[2].matched ? unquoted((*it)[2]) : std::string((*it)[3]);
        }
        rest.append(at, body.cend());
        // Whatever no field took must be the braces and commas between them.
        if (std::regex_match(rest, separators))
            records.push_back(std::move(record));
    }
    return records;
}

}  // namespace E2e
