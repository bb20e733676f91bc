// The files the package installs for desktops and readers: each passes its own checker, and the manual names every option.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <regex>
#include <set>
#include <string>

#include "RenderRun.h"
#include "TestFiles.h"

namespace {

// A shell command's standard output and error together, and its exit status.
std::pair<int, std::string> RunShell(const std::string& command)
{
    std::string output;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return {-1, "cannot run " + command};
    std::array<char, 4096> chunk{};
    while (const std::size_t n = std::fread(chunk.data(), 1, chunk.size(), pipe))
        output.append(chunk.data(), n);
    const int status = ::pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

std::string DataFile(const std::string& name) { return std::string(QUILLON_SOURCE_DIR) + "/data/" + name; }

} // namespace

// The checkers a distribution runs; scripts/setup.sh installs them. Warnings
// and hints count as failures: only a clean report passes.
TEST(PackageData, DesktopEntryMetainfoAndManualPagesPassTheirCheckers)
{
    struct Case {
        std::string command;
        std::string clean; // all the output may hold, as a regular expression
    };
    const Case cases[] = {
        {"desktop-file-validate " + testfiles::Quote(DataFile("quillon.desktop")), ""},
        {"appstreamcli validate --no-net " + testfiles::Quote(DataFile("io.github.quillon.quillon.metainfo.xml")),
         "([^ ]+ )?Validation was successful\\.\n"},
        {"groff -man -ww -z " + testfiles::Quote(DataFile("man/quillon.1")), ""},
        {"groff -man -ww -z " + testfiles::Quote(DataFile("man/quillon-render.1")), ""},
    };
    for (const Case& c : cases) {
        const auto [status, output] = RunShell(c.command);
        EXPECT_EQ(status, 0) << c.command << "\n" << output;
        EXPECT_TRUE(std::regex_match(output, std::regex(c.clean))) << c.command << "\n" << output;
    }
}

// Every option the renderer's usage lists has its entry in the manual page.
TEST(PackageData, TheRenderersManualPageNamesEveryOption)
{
    const auto [status, usage] = RunShell(testfiles::RenderCommand({"--help"}));
    ASSERT_EQ(status, 0) << usage;
    const std::string page = testfiles::ReadText(DataFile("man/quillon-render.1"));
    std::set<std::string> options;
    const std::regex option("--[a-z][a-z-]*");
    for (auto it = std::sregex_iterator(usage.begin(), usage.end(), option); it != std::sregex_iterator(); ++it)
        options.insert(it->str());
    EXPECT_GT(options.size(), 30u) << usage;
    for (const std::string& o : options) {
        // In the page's source every hyphen of an option is written "\-".
        const std::string written = std::regex_replace(o, std::regex("-"), "\\-");
        const bool entry = page.find(".BI " + written + " ") != std::string::npos ||
                           page.find(".B " + written + "\n") != std::string::npos ||
                           page.find(".BR " + written + " ") != std::string::npos;
        EXPECT_TRUE(entry)
            << o << " has no entry in quillon-render.1";
    }
}
