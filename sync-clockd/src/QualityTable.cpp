#include "QualityTable.h"

#include <fstream>
#include <sstream>

#include "Number.h"
#include "QualityName.h"

namespace SyncClockd {

namespace {

using SyncPeers::QualityName;
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
        const bool isClass = key != "no-reference";
        uint8_t clockClass = 0;
        std::optional<uint32_t> value;
        std::string why;
        if (!(words >> quality) || (words >> extra))
            why = "expected \"CLASS QUALITY\" or \"no-reference QUALITY\", got \"" + line + "\"";
        else if (isClass && !SyncSys::Number::read(key, clockClass, "clockClass", why))
            ;
        else if (!(value = parseQuality(quality)))
            why = "quality must be one of " + QualityName::all() + " or a number from 1 to 22, not \"" +
                  quality + "\"";
        if (!why.empty()) {
            error = path + ":" + std::to_string(lineNumber) + ": " + why;
            return std::nullopt;
        }
        if (isClass)
            table.rows_[clockClass] = *value;
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
    return QualityName::of(quality);
}

std::optional<uint32_t> QualityTable::parseQuality(const std::string& text) {
    if (const std::optional<uint64_t> number =
            SyncSys::Number::read(text, QualityName::FIRST, QualityName::LAST))
        return static_cast<uint32_t>(*number);
    return QualityName::parse(text);
}

}  // namespace SyncClockd
