#ifndef SYNC_SYS_OPTIONS_H
#define SYNC_SYS_OPTIONS_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace SyncSys {

// A program's command line, read with getopt_long, and the --help that describes it: every option
// is declared once, with its help text and what takes its value. --help (-h) and --version come with
// every program and need nothing else: no bus, no configuration.
class Options {
  public:
    // One code of a table the program acts by (exit statuses, reject codes), as --help lists it.
    struct Code {
        unsigned value;
        const char* text;
    };
    // What parse() came to; but for RUN, the status to exit with (every program of the node exits 2
    // for bad arguments).
    enum Outcome {
        RUN = -1,  // the options are good: go on
        DONE = 0,  // --help or --version was answered
        BAD = 2,   // what is wrong was said on stderr
    };
    // Takes an option's value (empty for a flag); false, with error, for a bad one.
    using Take = std::function<bool(const std::string& value, std::string& error)>;

    // The synopsis follows "usage: PROGRAM "; the description is the text below it, as written.
    Options(std::string program, std::string synopsis, std::string description);

    // Option --name; argument names its value in the help, nullptr for a flag.
    void add(const char* name, const char* argument, const std::string& help, Take take);
    // Option --name without a value; `given` runs when it is given.
    void addFlag(const char* name, const std::string& help, std::function<void()> given);
    // Option --name taking a number from low to high (decimal or 0x-hex), handed to `set`.
    void addNumber(const char* name, const char* argument, const std::string& help, uint64_t low,
                   uint64_t high, std::function<void(uint64_t)> set);
    // Option --name taking one of `choices` (as written); the index of the one given goes to `set`.
    void addChoice(const char* name, std::vector<std::string> choices, const std::string& help,
                   std::function<void(size_t)> set);
    // Up to `most` words that are no option (the operands); none by default.
    void allowOperands(size_t most) { mostOperands_ = most; }
    // A paragraph after the options in --help, as written.
    void addText(const std::string& text);
    // A table after the options in --help: the heading, then one line per code.
    template <size_t N>
    void addCodes(const std::string& heading, const Code (&codes)[N]) {
        addCodes(heading, codes, N);
    }

    Outcome parse(int argc, char** argv);
    const std::vector<std::string>& operands() const { return operands_; }
    // Says on stderr what is wrong with the command line; BAD.
    Outcome fail(const std::string& why) const;
    std::string help() const;

  private:
    struct Option {
        std::string name;
        std::string argument;  // empty for a flag
        std::string help;
        Take take;
    };

    void addCodes(const std::string& heading, const Code* codes, size_t count);

    std::string program_;
    std::string synopsis_;
    std::string description_;
    std::vector<Option> options_;
    std::vector<std::string> texts_;
    size_t mostOperands_ = 0;
    std::vector<std::string> operands_;
};

}  // namespace SyncSys

#endif
