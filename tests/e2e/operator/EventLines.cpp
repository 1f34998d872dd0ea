#include "EventLines.h"

#include <cstdlib>
#include <sstream>

namespace E2e {

namespace {

// Undoes the writer's escapes: \xNN, \" and \\.
std::string unescape(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 >= text.size()) {
            out += text[i];
        } else if (text[i + 1] == 'x' && i + 3 < text.size()) {
            out += static_cast<char>(std::strtol(text.substr(i + 2, 2).c_str(), nullptr, 16));
            i += 3;
        } else {
            out += text[++i];
        }
    }
    return out;
}

// "A=1 B="x y"" into its fields; false when the text is not such a list.
bool parseFields(const std::string& text, EventLines::Entry& entry) {
    size_t at = 0;
    while (at < text.size()) {
        const size_t equals = text.find('=', at);
        if (equals == std::string::npos)
            return false;
        const std::string name = text.substr(at, equals - at);
        std::string value;
        size_t end = equals + 1;
        if (end < text.size() && text[end] == '"') {
            for (++end; end < text.size() && text[end] != '"'; ++end)
                end += text[end] == '\\' ? 1 : 0;
            value = unescape(text.substr(equals + 2, end - equals - 2));
            ++end;
        } else {
            end = text.find(' ', equals);
            end = end == std::string::npos ? text.size() : end;
            value = unescape(text.substr(equals + 1, end - equals - 1));
        }
        entry[name] = value;
        at = end + 1;
    }
    return true;
}

}  // namespace

std::vector<EventLines::Entry> EventLines::parse(const std::string& output, const std::string& program) {
    std::vector<Entry> entries;
    std::istringstream lines(output);
    const std::string prefix = program + ": ";
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(prefix, 0) != 0 || line.empty() || line.back() != ']')
            continue;
        std::string message = line.substr(prefix.size());
        Entry entry{{"PRIORITY", "6"}};
        for (const auto& [word, priority] :
             {std::pair<const char*, const char*>{"error: ", "3"}, {"warning: ", "4"}}) {
            if (message.rfind(word, 0) == 0) {
                message.erase(0, std::string(word).size());
                entry["PRIORITY"] = priority;
            }
        }
        // The fields begin at the first " [" after which the rest reads as fields (a message may
        // hold " [" too).
        for (size_t open = message.find(" ["); open != std::string::npos;
             open = message.find(" [", open + 1)) {
            Entry candidate = entry;
            if (parseFields(message.substr(open + 2, message.size() - open - 3), candidate)) {
                candidate["MESSAGE"] = unescape(message.substr(0, open));
                entries.push_back(candidate);
                break;
            }
        }
    }
    return entries;
}

}  // namespace E2e
