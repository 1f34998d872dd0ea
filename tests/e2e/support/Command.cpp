#include "Command.h"

#include "CapturedOutput.h"

namespace E2e {

std::string Command::Result::describe(const std::vector<std::string>& argv) const {
    std::string text;
    for (const auto& arg : argv) {
        text += (text.empty() ? "" : " ") + arg;
    }
    text += status ? " -> " + status->describe() : " -> did not end in time";
    return text + "\n" + output;
}

Command::Result Command::run(const std::vector<std::string>& argv, std::chrono::milliseconds timeout,
                             const Environment& env, int watchFd,
                             const ChildProcess::OnReadable& onReadable) {
    CapturedOutput output;
    Result result;
    {
        ChildProcess child({argv.empty() ? std::string() : argv.front(), argv, env, output.fd()});
        auto keepWaiting = [&onReadable]() {
            onReadable();
            return false;
        };
        result.status =
            child.waitExit(timeout, watchFd,
                           onReadable ? ChildProcess::OnReadable(keepWaiting) : ChildProcess::OnReadable());
    }  // an overrunning command is stopped here
    result.output = output.text();
    return result;
}

}  // namespace E2e
