#ifndef SYNC_COLI_COMMANDTEXT_H
#define SYNC_COLI_COMMANDTEXT_H

#include <string>

namespace Sync {
namespace Coli {

// How a daemon names its `info [ feature | output | ethernet | all ]` command to the command server
// and to the operator. The grammar itself is common; only these texts differ between daemons.
struct CommandText {
    std::string name;         // argument 0, exactly as the operator types it
    std::string synopsis;     // one line of grammar, starting with the name
    std::string description;  // what the command prints

    // The answer's usage block, shared by every error answer.
    std::string usage() const {
        return "usage:\n\n " + synopsis +
               "\nfeature  - print feature data.\noutput   - print output data.\nethernet - print ethernet "
               "data.\nall      - print all options.\n\n";
    }
};

}  // namespace Coli
}  // namespace Sync

#endif
