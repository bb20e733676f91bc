// Runs quillon-render as a separate process for the end-to-end tests.
#pragma once

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "../support/Spawn.h"
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

// The renderer's command line with every argument quoted, for a shell (GNU
// parallel runs its commands through one) and for messages.
inline std::string RenderCommand(const std::vector<std::string>& args)
{
    std::string command = Quote(QUILLON_RENDER_EXE);
    for (const std::string& a : args)
        command += " " + Quote(a);
    return command;
}

// Starts the renderer with the arguments; standard output and error go to
// the files named (created or emptied). Returns the process id, or -1.
inline pid_t StartRender(const std::vector<std::string>& args, const std::string& out = "/dev/null",
                         const std::string& err = "/dev/null")
{
    return testsupport::StartProgram(QUILLON_RENDER_EXE, args, out, err);
}

// The exit status of a started renderer; -1 when it did not exit normally.
inline int WaitForRender(pid_t pid)
{
    const testsupport::Ending ending = testsupport::WaitForProgram(pid);
    return ending.exited ? ending.status : -1;
}

struct RunResult {
    int status = -1;
    std::string stderrText;
    std::string stdoutText;
};

// Runs the renderer with the arguments and collects its exit status, stderr
// and stdout. The two files live beside the scratch folder, not in it.
inline RunResult Render(const TempDir& dir, const std::vector<std::string>& args)
{
    const std::string base = (dir.path().parent_path() / dir.path().filename()).string();
    const std::string out = base + ".stdout", errors = base + ".stderr";
    RunResult result;
    const pid_t pid = StartRender(args, out, errors);
    result.status = pid < 0 ? -1 : WaitForRender(pid);
    result.stderrText = ReadText(errors);
    result.stdoutText = ReadText(out);
    std::filesystem::remove(errors);
    std::filesystem::remove(out);
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
