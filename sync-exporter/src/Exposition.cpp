#include "Exposition.h"

#include <algorithm>
#include <utility>

namespace SyncExporter {

namespace {

enum Type { GAUGE, COUNTER };

struct Description {
    const char* name;
    Type type;
    const char* labels;
    const char* help;
};

constexpr Description TABLE[] = {
#define SYNC_METRIC(id, name, type, labels, help) {name, type, labels, help},
#include "Metrics.def"
#undef SYNC_METRIC
};
constexpr size_t COUNT = sizeof TABLE / sizeof TABLE[0];

std::vector<std::vector<std::string>> splitLabels() {
    std::vector<std::vector<std::string>> all;
    for (const Description& description : TABLE) {
        std::vector<std::string> names;
        std::string text = description.labels;
        for (size_t at = 0; at < text.size();) {
            const size_t end = std::min(text.find(' ', at), text.size());
            names.push_back(text.substr(at, end - at));
            at = end + 1;
        }
        all.push_back(std::move(names));
    }
    return all;
}

// The length of the well-formed UTF-8 sequence at text[at], 0 when there is none.
size_t utf8Length(const std::string& text, size_t at) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80)
        return 1;
    size_t length;
    unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;   // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (at + length > text.size() || byte(at + 1) < low || byte(at + 1) > high)
        return 0;
    for (size_t i = 2; i < length; ++i)
        if (byte(at + i) < 0x80 || byte(at + i) > 0xBF)
            return 0;
    return length;
}

// A label value between double quotes: backslash, quote and line feed escaped, UTF-8 made whole.
void appendQuoted(std::string& out, const std::string& value) {
    out += '"';
    for (size_t at = 0; at < value.size();) {
        const char c = value[at];
        const size_t length = utf8Length(value, at);
        if (length == 0) {
            out += "\xEF\xBF\xBD";
            ++at;
        } else if (c == '\\' || c == '"') {
            (out += '\\') += c;
            ++at;
        } else if (c == '\n') {
            out += "\\n";
            ++at;
        } else {
            out.append(value, at, length);
            at += length;
        }
    }
    out += '"';
}

}  // namespace

Exposition::Exposition() : families_(COUNT) {}

const char* Exposition::name(Metric metric) {
    return TABLE[static_cast<size_t>(metric)].name;
}

const std::vector<std::string>& Exposition::labelNames(Metric metric) {
    static const std::vector<std::vector<std::string>> names = splitLabels();
    return names[static_cast<size_t>(metric)];
}

void Exposition::add(Metric metric, const std::vector<std::string>& labels, uint64_t value) {
    const std::vector<std::string>& names = labelNames(metric);
    Family& family = families_[static_cast<size_t>(metric)];
    std::string& out = family.lines;
    out += name(metric);
    const size_t count = std::min(names.size(), labels.size());
    for (size_t i = 0; i < count; ++i) {
        out += i == 0 ? '{' : ',';
        (out += names[i]) += '=';
        appendQuoted(out, labels[i]);
    }
    if (count > 0)
        out += '}';
    ((out += ' ') += std::to_string(value)) += '\n';
    ++family.samples;
}

void Exposition::append(Exposition&& other) {
    for (size_t i = 0; i < COUNT; ++i) {
        families_[i].lines += other.families_[i].lines;
        families_[i].samples += other.families_[i].samples;
    }
}

size_t Exposition::samples() const {
    size_t all = 0;
    for (const Family& family : families_)
        all += family.samples;
    return all;
}

std::string Exposition::text() const {
    std::string out;
    for (size_t i = 0; i < COUNT; ++i) {
        if (families_[i].samples == 0)
            continue;
        const Description& description = TABLE[i];
        // Help texts are ours: no backslash or line feed to escape.
        ((((out += "# HELP ") += description.name) += ' ') += description.help) += '\n';
        (((out += "# TYPE ") += description.name) += description.type == COUNTER ? " counter\n" : " gauge\n");
        out += families_[i].lines;
    }
    return out;
}

}  // namespace SyncExporter
