// The program's own command line: --help, --version, view files, and the toolkit's options passed through.
#pragma once

#include <string>
#include <vector>

namespace shell {

struct CommandLine {
    enum class Action { Run, Help, Version, Refuse };
    Action action = Action::Run;
    // Run: the view files to open after start-up, in the order given.
    std::vector<std::string> files;
    // Help, Version: the text for standard output; Refuse: the one line for standard error.
    std::string text;
};

// Reads the arguments after the program's name. The toolkit's own options
// (-platform, -style, -display, … with their values) are left to it and are
// neither files nor errors; "--" makes every later argument a file.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

} // namespace shell
