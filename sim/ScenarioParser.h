#ifndef SYNC_SIM_SCENARIOPARSER_H
#define SYNC_SIM_SCENARIOPARSER_H

#include <istream>
#include <string>
#include <vector>

#include "Scenario.h"

namespace SyncSim {

// Reads sync-sim's line-based scenario text (format in sim/README.md). Every bad line is reported,
// with its line number, and none of it is kept; a scenario with any error must not be played.
class ScenarioParser {
  public:
    // Parses the whole text; true when every line was good.
    bool parse(std::istream& text);
    bool parse(const std::string& text);

    // One further step after the scenario's (typed while sync-sim runs), against the scenario's port
    // table. False for a bad line, with the reason in error, and for a blank or comment-only line,
    // with error empty.
    bool parseStep(const std::string& line, size_t number, Scenario::Step& step, std::string& error);

    const Scenario& scenario() const { return scenario_; }
    // "line N: what is wrong", one per bad line, in file order.
    const std::vector<std::string>& errors() const { return errors_; }

  private:
    static std::vector<std::string> wordsOf(const std::string& line);
    // One line split into words, the comment and surrounding blanks removed; false with a reason.
    bool parseLine(const std::vector<std::string>& words, Scenario::Step& step, std::string& error);
    bool parsePort(const std::vector<std::string>& words, std::string& error);
    bool parseWait(const std::vector<std::string>& words, Scenario::Step& step, std::string& error);
    // A port name of the table, or "all" (left empty in the step).
    bool portOrAll(const std::string& word, std::string& portName, std::string& error) const;
    bool knownPort(const std::string& word, std::string& error) const;

    Scenario scenario_;
    std::vector<std::string> errors_;
};

}  // namespace SyncSim

#endif
