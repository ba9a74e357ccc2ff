// The command-line tool tessarin-base: base files to and from the text
// form, and the checks of a careful author.
#pragma once

#include <ostream>
#include <span>
#include <string>

namespace textbase {

// Exit codes a script can rely on.
enum ExitCode : int {
    kExitOk = 0,
    kExitProblems = 1,  // check found problems in the base
    kExitBadInput = 2,  // bad usage, bad input, or a file that cannot be read or written
};

// Runs the tool on its arguments (without the program name).  It opens and
// closes the process's one base itself, so no base may be open around it.
int run_tool(std::span<const std::string> arguments, std::ostream &out, std::ostream &err);

}  // namespace textbase
