// Runs quillon-render as a separate process for the end-to-end tests.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/wait.h>

#include "TestFiles.h"

namespace testfiles {

inline std::string Quote(const std::string& s)
{
    std::string out = "'";
    for (char c : s) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    return out + "'";
}

// The renderer's command line with every argument quoted.
inline std::string RenderCommand(const std::vector<std::string>& args)
{
    std::string command = Quote(QUILLON_RENDER_EXE);
    for (const std::string& a : args)
        command += " " + Quote(a);
    return command;
}

struct RunResult {
    int status = -1;
    std::string stderrText;
};

// Runs the renderer with the arguments and collects its exit status and stderr.
inline RunResult Render(const TempDir& dir, const std::vector<std::string>& args)
{
    const std::string errors = (dir.path().parent_path() / (dir.path().filename().string() + ".stderr")).string();
    const std::string command = RenderCommand(args) + " >/dev/null 2>" + Quote(errors);
    const int raw = std::system(command.c_str());
    RunResult result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.stderrText = ReadText(errors);
    std::filesystem::remove(errors);
    return result;
}

} // namespace testfiles
