#include "JournalWriter.h"

#include <errno.h>
#include <sys/uio.h>
#include <systemd/sd-journal.h>

#include <cstdio>
#include <cstdlib>

namespace SyncSys {

namespace {

bool needsQuotes(const std::string& value) {
    if (value.empty())
        return true;
    for (unsigned char c : value)
        if (c <= ' ' || c == '"' || c == '\\' || c == ']' || c == 0x7F)
            return true;
    return false;
}

// Printable characters as they are; control characters (and, when quoting, '"' and '\') escaped.
void appendEscaped(std::string& out, const std::string& text, bool quoting) {
    for (unsigned char c : text) {
        if (c < ' ' || c == 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        } else {
            if (quoting && (c == '"' || c == '\\'))
                out += '\\';
            out += static_cast<char>(c);
        }
    }
}

}  // namespace

bool JournalWriter::toJournal() {
    static const bool journal = std::getenv("JOURNAL_STREAM") != nullptr;
    return journal;
}

std::string JournalWriter::line(const std::string& message, const Fields& fields) {
    std::string out;
    appendEscaped(out, message, false);
    if (fields.empty())
        return out;
    out += " [";
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += ' ';
        out += fields[i].first + '=';
        const bool quote = needsQuotes(fields[i].second);
        if (quote)
            out += '"';
        appendEscaped(out, fields[i].second, quote);
        if (quote)
            out += '"';
    }
    return out + ']';
}

void JournalWriter::write(int priority, const std::string& message, const Fields& fields) {
    if (toJournal()) {
        std::vector<std::string> items = {"MESSAGE=" + message, "PRIORITY=" + std::to_string(priority),
                                          std::string("SYSLOG_IDENTIFIER=") + program_invocation_short_name};
        for (const auto& [name, value] : fields)
            items.push_back(name + '=' + value);
        std::vector<iovec> vectors;
        for (std::string& item : items)
            vectors.push_back(iovec{item.data(), item.size()});
        if (sd_journal_sendv(vectors.data(), static_cast<int>(vectors.size())) == 0)
            return;
        // The stream systemd reads takes the priority as a "<N>" prefix.
        std::fprintf(stderr, "<%d>%s\n", priority, line(message, fields).c_str());
        return;
    }
    const char* level = priority <= 3 ? "error: " : priority == 4 ? "warning: " : "";
    std::fprintf(stderr, "%s: %s%s\n", program_invocation_short_name, level, line(message, fields).c_str());
}

}  // namespace SyncSys
