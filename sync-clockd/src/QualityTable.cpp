#include "QualityTable.h"

#include <cctype>
#include <fstream>
#include <sstream>

#include "NumberWord.h"

namespace SyncClockd {

namespace {

const char* const NAMES[] = {nullptr,      "PRC",  "PRS",         "STU_OR_UNK", "SSU_A_OR_TNC", "SSU_B",
                             "ST2",        "ST3E", "ST3_OR_EEC2", "SEC_OR_EEC", "DEPRECATED",   "PROV",
                             "DNU_OR_DUS", "INV",  "TCU_02",      "QL_UNKNOWN", "UNKNOWN",      "SMC",
                             "PRTC",       "GNSS", "EPRTC",       "EEEC",       "EPRC"};
constexpr uint32_t LAST = sizeof NAMES / sizeof NAMES[0] - 1;
constexpr uint32_t PRC = 1, SSU_A = 4, SSU_B = 5, SEC = 9, DNU = 12, PRTC = 18;

}  // namespace

QualityTable QualityTable::standard() {
    QualityTable table;
    table.rows_ = {{6, PRTC},    {7, PRC},     {135, PRC}, {140, PRC}, {150, SSU_A},
                   {160, SSU_B}, {165, SSU_B}, {248, SEC}, {255, DNU}};
    table.noReference_ = SEC;
    return table;
}

std::optional<QualityTable> QualityTable::load(const std::string& path, std::string& error) {
    std::ifstream file(path);
    if (!file) {
        error = path + ": cannot be read";
        return std::nullopt;
    }
    QualityTable table;
    bool noReference = false;
    int lineNumber = 0;
    for (std::string line; std::getline(file, line);) {
        ++lineNumber;
        std::istringstream words(line.substr(0, line.find('#')));
        std::string key, quality, extra;
        if (!(words >> key))
            continue;
        std::optional<uint32_t> value;
        if (words >> quality)
            value = parseQuality(quality);
        uint32_t clockClass = 0;
        const bool isClass = SyncSys::numberWord(key, clockClass, 255);
        if (!value || (words >> extra) || (!isClass && key != "no-reference")) {
            error = path + ":" + std::to_string(lineNumber) +
                    ": expected \"CLASS QUALITY\" or \"no-reference QUALITY\", got \"" + line + "\"";
            return std::nullopt;
        }
        if (isClass)
            table.rows_[static_cast<uint8_t>(clockClass)] = *value;
        else
            noReference = true, table.noReference_ = *value;
    }
    if (!noReference) {
        error = path + ": no \"no-reference QUALITY\" line";
        return std::nullopt;
    }
    return table;
}

uint32_t QualityTable::lookup(uint8_t clockClass, bool* known) const {
    const auto row = rows_.find(clockClass);
    if (known != nullptr)
        *known = row != rows_.end();
    return row != rows_.end() ? row->second : noReference_;
}

std::vector<std::string> QualityTable::describe() const {
    std::vector<std::string> lines;
    for (const auto& [clockClass, quality] : rows_)
        lines.push_back("clockClass " + std::to_string(clockClass) + " -> " + name(quality));
    lines.push_back(std::string("no reference -> ") + name(noReference_));
    return lines;
}

const char* QualityTable::name(uint32_t quality) {
    return quality >= 1 && quality <= LAST ? NAMES[quality] : "UNKNOWN";
}

std::optional<uint32_t> QualityTable::parseQuality(const std::string& text) {
    uint32_t value = 0;
    if (SyncSys::numberWord(text, value, LAST) && value >= 1)
        return value;
    for (uint32_t quality = 1; quality <= LAST; ++quality) {
        const std::string known = NAMES[quality];
        if (known.size() == text.size() &&
            std::equal(known.begin(), known.end(), text.begin(),
                       [](char a, char b) { return a == std::toupper(static_cast<unsigned char>(b)); }))
            return quality;
    }
    return std::nullopt;
}

}  // namespace SyncClockd
