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

// A command line the renderer must refuse: status 2, one line on stderr,
// and nothing written into the scratch folder.
inline void ExpectRefused(const TempDir& dir, const std::vector<std::string>& args)
{
    std::string shown;
    for (const auto& a : args)
        shown += a + " ";
    const RunResult run = Render(dir, args);
    EXPECT_EQ(run.status, 2) << shown;
    EXPECT_EQ(std::count(run.stderrText.begin(), run.stderrText.end(), '\n'), 1) << shown << run.stderrText;
    EXPECT_TRUE(dir.Entries().empty()) << shown;
}

// The arguments of `first` followed by those of `more`.
inline std::vector<std::string> Join(std::vector<std::string> first, const std::vector<std::string>& more)
{
    first.insert(first.end(), more.begin(), more.end());
    return first;
}

} // namespace testfiles
