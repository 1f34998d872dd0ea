#include "TraceRecord.h"

#include <cstdlib>
#include <sstream>

namespace E2e {

namespace {

// Reads the text babeltrace2 prints between braces: `key = value, key = "text", ...`.
class FieldReader {
  public:
    FieldReader(const std::string& line, std::size_t pos) : line_(line), pos_(pos) {}

    // Reads `{ ... }` groups separated by ", " up to the end of the line.
    bool groups(std::map<std::string, std::string>& fields) {
        for (;;) {
            if (!expect('{') || !group(fields)) {
                return false;
            }
            skipSpaces();
            if (pos_ >= line_.size()) {
                return true;
            }
            if (!expect(',')) {
                return false;
            }
        }
    }

  private:
    bool group(std::map<std::string, std::string>& fields) {
        skipSpaces();
        if (peek() == '}') {
            ++pos_;
            return true;
        }
        for (;;) {
            skipSpaces();
            std::size_t equals = line_.find(" = ", pos_);
            if (equals == std::string::npos) {
                return false;
            }
            std::string key = line_.substr(pos_, equals - pos_);
            pos_ = equals + 3;
            std::string value;
            if (!(peek() == '"' ? quoted(value) : plain(value))) {
                return false;
            }
            fields[key] = value;
            skipSpaces();
            if (peek() == '}') {
                ++pos_;
                return true;
            }
            if (!expect(',')) {
                return false;
            }
        }
    }

    bool quoted(std::string& out) {
        ++pos_;
        while (pos_ < line_.size()) {
            char c = line_[pos_++];
            if (c == '"') {
                return true;
            }
            if (c == '\\' && pos_ < line_.size()) {
                out += unescape(line_[pos_++]);
            } else {
                out += c;
            }
        }
        return false;
    }

    static char unescape(char c) {
        switch (c) {
            case 'n':
                return '\n';
            case 't':
                return '\t';
            case 'r':
                return '\r';
            case 'v':
                return '\v';
            case 'f':
                return '\f';
            case 'a':
                return '\a';
            case 'b':
                return '\b';
            case '0':
                return '\0';
            default:
                return c;
        }
    }

    // A number, an enumeration or a nested compound, kept as printed.
    bool plain(std::string& out) {
        int depth = 0;
        std::size_t start = pos_;
        for (; pos_ < line_.size(); ++pos_) {
            char c = line_[pos_];
            if (c == '"') {
                std::string ignored;
                if (!quoted(ignored)) {
                    return false;
                }
                --pos_;
            } else if (c == '{' || c == '[') {
                ++depth;
            } else if ((c == '}' || c == ']') && depth > 0) {
                --depth;
            } else if ((c == ',' || c == '}') && depth == 0) {
                break;
            }
        }
        out = line_.substr(start, pos_ - start);
        while (!out.empty() && out.back() == ' ') {
            out.pop_back();
        }
        return depth == 0;
    }

    bool expect(char c) {
        skipSpaces();
        if (peek() != c) {
            return false;
        }
        ++pos_;
        return true;
    }
    char peek() const { return pos_ < line_.size() ? line_[pos_] : '\0'; }
    void skipSpaces() {
        while (pos_ < line_.size() && line_[pos_] == ' ') {
            ++pos_;
        }
    }

    const std::string& line_;
    std::size_t pos_;
};

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

std::optional<TraceRecord> TraceRecord::parse(const std::string& line) {
    if (line.empty() || line.front() != '[') {
        return std::nullopt;
    }
    // The head (time stamp, host, name) holds neither quotes nor braces.
    std::size_t body = line.find(": {");
    if (body == std::string::npos) {
        return std::nullopt;
    }
    std::size_t nameStart = line.rfind(' ', body);
    if (nameStart == std::string::npos) {
        return std::nullopt;
    }
    TraceRecord record;
    record.name = line.substr(nameStart + 1, body - nameStart - 1);
    FieldReader reader(line, body + 1);
    if (record.name.empty() || !reader.groups(record.fields)) {
        return std::nullopt;
    }
    return record;
}

std::vector<TraceRecord> TraceRecord::parseAll(const std::string& text) {
    std::vector<TraceRecord> records;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (auto record = parse(line)) {
            records.push_back(std::move(*record));
        }
    }
    return records;
}

}  // namespace E2e
