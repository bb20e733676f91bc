// The program's command line: --help, --version, unknown options, files, and the toolkit's options left to it.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <string>
#include <vector>

#include "Spawn.h"
#include "shell/CommandLine.h"

using shell::CommandLine;
using shell::ParseCommandLine;

namespace {

struct CommandLineCase {
    std::vector<std::string> arguments;
    CommandLine::Action action;
    std::vector<std::string> files;
};

} // namespace

TEST(ShellCommandLine, SortsHelpVersionFilesToolkitOptionsAndUnknownOptions)
{
    using A = CommandLine::Action;
    const std::vector<CommandLineCase> cases = {
        {{}, A::Run, {}},
        {{"a.qview", "b.png"}, A::Run, {"a.qview", "b.png"}},
        {{"--help"}, A::Help, {}},
        {{"a.qview", "-h"}, A::Help, {}},
        {{"--version"}, A::Version, {}},
        {{"--bogus"}, A::Refuse, {}},
        {{"a.qview", "-x"}, A::Refuse, {}},
        // The toolkit's options and their values are neither files nor errors.
        {{"-platform", "offscreen", "a.qview"}, A::Run, {"a.qview"}},
        {{"--style", "fusion", "-reverse", "b.png"}, A::Run, {"b.png"}},
        {{"-style=fusion", "b.png"}, A::Run, {"b.png"}},
        {{"-display", ":77", "-geometry", "800x600", "c.qview"}, A::Run, {"c.qview"}},
        {{"-platform=offscreen"}, A::Refuse, {}},
        // After "--" everything is a file; "-" alone is a name.
        {{"--", "--help", "-x"}, A::Run, {"--help", "-x"}},
        {{"-"}, A::Run, {"-"}},
        // A help request wins over a later unknown option, an unknown one over a later help.
        {{"--help", "--bogus"}, A::Help, {}},
        {{"--bogus", "--help"}, A::Refuse, {}},
    };
    for (const CommandLineCase& c : cases) {
        std::string shown;
        for (const std::string& a : c.arguments)
            shown += a + " ";
        const CommandLine line = ParseCommandLine(c.arguments);
        EXPECT_EQ(line.action, c.action) << shown;
        EXPECT_EQ(line.files, c.files) << shown;
        if (c.action == A::Refuse) {
            // One line that names the option.
            EXPECT_EQ(line.text.find('\n'), line.text.size() - 1) << shown;
            EXPECT_NE(line.text.find(c.arguments.front() == "a.qview" ? c.arguments[1] : c.arguments[0]),
                      std::string::npos)
                << shown;
        }
    }
    EXPECT_NE(ParseCommandLine({"--help"}).text.find("--version"), std::string::npos);
    EXPECT_EQ(ParseCommandLine({"--version"}).text, "Quillon 2.8B\n");
}

// The program itself, with no display at all: help and version print and
// end with 0, an unknown option is one line on standard error and status 2.
TEST(ShellCommandLine, TheProgramAnswersWithoutADisplay)
{
    struct Run {
        std::vector<std::string> arguments;
        int status;
        bool toStdout;
    };
    const std::vector<Run> runs = {{{"--help"}, 0, true}, {{"--version"}, 0, true}, {{"--nonsense"}, 2, false}};
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const Run& run : runs) {
        const testsupport::ProgramRun p = testsupport::RunProgram(
            QUILLON_EXE, run.arguments, dir.path().toStdString(), {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"},
            std::chrono::seconds(30));
        const QByteArray out = QByteArray::fromStdString(p.out);
        const QByteArray err = QByteArray::fromStdString(p.err);
        ASSERT_TRUE(p.ending.exited) << run.arguments.front() << ": " << p.err;
        EXPECT_EQ(p.ending.status, run.status) << run.arguments.front() << ": " << p.err;
        if (run.toStdout) {
            EXPECT_TRUE(err.isEmpty()) << err.toStdString();
            EXPECT_TRUE(out.startsWith(run.arguments.front() == "--help" ? "Usage: quillon" : "Quillon 2.8B"))
                << out.toStdString();
        } else {
            EXPECT_TRUE(out.isEmpty());
            EXPECT_EQ(err.count('\n'), 1) << err.toStdString();
            EXPECT_TRUE(err.contains("--nonsense")) << err.toStdString();
        }
    }
}
