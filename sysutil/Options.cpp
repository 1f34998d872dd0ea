#include "Options.h"

#include <getopt.h>

#include <algorithm>
#include <cstdio>

#include "Number.h"

namespace SyncSys {

namespace {

constexpr int HELP = 'h';
constexpr int VERSION = 0x100;
constexpr int FIRST_OPTION = 0x101;
constexpr size_t HELP_WIDTH = 100;

// text broken into lines of at most `width` characters after `indent` blanks; the first line
// continues whatever stands before it.
std::string wrapped(const std::string& text, size_t indent, size_t width) {
    std::string out;
    size_t column = indent;
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = std::min(text.find(' ', at), text.size());
        const std::string word = text.substr(at, end - at);
        if (column > indent && column + 1 + word.size() > width) {
            out += "\n" + std::string(indent, ' ');
            column = indent;
        } else if (column > indent) {
            out += ' ';
            ++column;
        }
        out += word;
        column += word.size();
        at = end + 1;
    }
    return out;
}

}  // namespace

Options::Options(std::string program, std::string synopsis, std::string description)
    : program_(std::move(program)), synopsis_(std::move(synopsis)), description_(std::move(description)) {}

void Options::add(const char* name, const char* argument, const std::string& help, Take take) {
    options_.push_back(Option{name, argument != nullptr ? argument : "", help, std::move(take)});
}

void Options::addFlag(const char* name, const std::string& help, std::function<void()> given) {
    add(name, nullptr, help, [given](const std::string&, std::string&) {
        given();
        return true;
    });
}

void Options::addNumber(const char* name, const char* argument, const std::string& help, uint64_t low,
                        uint64_t high, std::function<void(uint64_t)> set) {
    const std::string what = std::string("--") + name;
    add(name, argument, help, [what, low, high, set](const std::string& value, std::string& error) {
        uint64_t number = 0;
        if (!Number::read(value, number, what, error, low, high))
            return false;
        set(number);
        return true;
    });
}

void Options::addChoice(const char* name, std::vector<std::string> choices, const std::string& help,
                        std::function<void(size_t)> set) {
    std::string argument;
    for (const std::string& choice : choices)
        argument += (argument.empty() ? "" : "|") + choice;
    const std::string what = std::string("--") + name;
    options_.push_back(Option{name, argument, help,
                              [what, argument, choices, set](const std::string& value, std::string& error) {
                                  for (size_t i = 0; i < choices.size(); ++i) {
                                      if (value == choices[i]) {
                                          set(i);
                                          return true;
                                      }
                                  }
                                  error = what + " must be " + argument + ", not \"" + value + "\"";
                                  return false;
                              }});
}

void Options::addText(const std::string& text) {
    texts_.push_back(text);
}

void Options::addCodes(const std::string& heading, const Code* codes, size_t count) {
    std::string text = heading + "\n";
    for (size_t i = 0; i < count; ++i)
        text += "  " + std::to_string(codes[i].value) + "  " + wrapped(codes[i].text, 5, HELP_WIDTH) + "\n";
    text.pop_back();
    texts_.push_back(text);
}

Options::Outcome Options::parse(int argc, char** argv) {
    std::vector<option> longs;
    for (size_t i = 0; i < options_.size(); ++i)
        longs.push_back(option{options_[i].name.c_str(),
                               !options_[i].argument.empty() ? required_argument : no_argument, nullptr,
                               FIRST_OPTION + static_cast<int>(i)});
    longs.push_back(option{"help", no_argument, nullptr, HELP});
    longs.push_back(option{"version", no_argument, nullptr, VERSION});
    longs.push_back(option{});
    operands_.clear();
    opterr = 0;
    optind = 0;  // from the start, whatever an earlier parse left
    for (int got; (got = getopt_long(argc, argv, ":h", longs.data(), nullptr)) != -1;) {
        if (got == HELP) {
            std::fputs(help().c_str(), stdout);
            return DONE;
        }
        if (got == VERSION) {
            std::printf("%s %s\n", program_.c_str(), SYNC_VERSION);
            return DONE;
        }
        if (got == '?')
            return fail("unknown option " + (optopt != 0 ? std::string("-") + static_cast<char>(optopt)
                                                         : std::string(argv[optind - 1])));
        if (got == ':')
            return fail(std::string(argv[optind - 1]) + " needs a value");
        const Option& taken = options_[static_cast<size_t>(got - FIRST_OPTION)];
        std::string error;
        if (!taken.take(optarg != nullptr ? optarg : "", error))
            return fail(error);
    }
    for (int i = optind; i < argc; ++i)
        operands_.push_back(argv[i]);
    if (operands_.size() > mostOperands_)
        return fail("unexpected argument \"" + operands_[mostOperands_] + "\"");
    return RUN;
}

Options::Outcome Options::fail(const std::string& why) const {
    std::fprintf(stderr, "%s: %s (see --help)\n", program_.c_str(), why.c_str());
    return BAD;
}

std::string Options::help() const {
    std::vector<std::pair<std::string, std::string>> rows;
    for (const Option& option : options_)
        rows.emplace_back("--" + option.name + (option.argument.empty() ? "" : " " + option.argument),
                          option.help);
    rows.emplace_back("--help", "prints this text and exits");
    rows.emplace_back("--version", "prints the version and exits");
    size_t column = 0;
    for (const auto& row : rows)
        column = std::max(column, row.first.size() + 4);
    std::string text =
        "usage: " + program_ + (synopsis_.empty() ? "" : " " + synopsis_) + "\n\n" + description_ + "\n\n";
    for (const auto& [left, right] : rows)
        text += "  " + left + std::string(column - 2 - left.size(), ' ') +
                wrapped(right, column, HELP_WIDTH) + "\n";
    for (const std::string& paragraph : texts_)
        text += "\n" + paragraph + "\n";
    return text;
}

}  // namespace SyncSys
