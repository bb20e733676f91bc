// quillon-render's option table: what the parser accepts, how it words a refusal, and the help made of it.
#include <cstdio>
#include <regex>

#include <gtest/gtest.h>

#include "RenderRun.h"

using testfiles::Render;
using testfiles::TempDir;

namespace {

std::string StandardOutputOf(const std::vector<std::string>& args)
{
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> pipe(popen(testfiles::RenderCommand(args).c_str(), "r"), &pclose);
    std::string text;
    char chunk[4096];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe.get())) > 0;)
        text.append(chunk, n);
    return text;
}

} // namespace

TEST(OptionTable, RefusalsNameTheArgumentAsTyped)
{
    TempDir dir;
    const std::string out = dir / "v.qview";
    const struct {
        std::vector<std::string> args;
        std::string line;
    } cases[] = {
        {{"--view", "FormJU3", "--save-view", out, "-x"}, "unknown argument '-x'"},
        {{"--view", "FormJU3", "--save-view", out, "--"}, "unknown argument '--'"},
        {{"--view", "FormJU3", "--save-view", out, "extra"}, "unknown argument 'extra'"},
        {{"--view", "FormJU3", "--save-view", out, "--regions", "1"}, "unknown argument '--regions'"},
        {{"--view", "FormJU3", "--save-view", out, "--region", "1", "2", "3"}, "--region needs a value"},
        {{"--view", "FormJU3", "--save-view", out, "--region=1"}, "--region takes 4 values, not one after '='"},
        {{"--view", "FormJU3", "--save-view"}, "--save-view needs a value"},
        {{"--view", "FormJU3", "--save-view", ""}, "--save-view needs a file name"},
        {{"--view", "FormJU3", "--save-view", out, "--zoom-to", "1", "2", "x", "4"}, "'x' is not a valid number"},
    };
    for (const auto& c : cases) {
        const testfiles::RunResult run = Render(dir, c.args);
        EXPECT_EQ(run.status, 2) << c.line;
        EXPECT_EQ(run.stderrText, "quillon-render: " + c.line + "\n");
        EXPECT_TRUE(dir.Entries().empty()) << c.line;
    }
}

// Values beginning with '-' stay values, '=' gives a value too, and an option
// given twice takes its last values: the view files written are the same.
TEST(OptionTable, SpellingsOfTheSameViewWriteTheSameFile)
{
    TempDir dir;
    const std::vector<std::vector<std::string>> spellings = {
        {"--view", "FormRN4.SBAL1", "--region", "-12", "-6", "-32", "-26", "--rgb", "-3,0,9"},
        {"--view=FormRN4.SBAL1", "--region", "-12", "-6", "-32", "-26", "--rgb=-3,0,9"},
        {"--region", "1", "2", "3", "4", "--view", "FormRN4.SBAL1", "--rgb", "0,0,0", "--region", "-12", "-6", "-32",
         "-26", "--rgb", "-3,0,9"},
    };
    std::vector<std::string> texts;
    for (std::size_t k = 0; k < spellings.size(); ++k) {
        const std::string path = dir / ("v" + std::to_string(k) + ".qview");
        const testfiles::RunResult run = Render(dir, testfiles::Join(spellings[k], {"--save-view", path}));
        ASSERT_EQ(run.status, 0) << run.stderrText;
        texts.push_back(testfiles::ReadText(path));
    }
    EXPECT_NE(texts[0].find("rgb = -3,0,9"), std::string::npos) << texts[0];
    EXPECT_EQ(texts[1], texts[0]);
    EXPECT_EQ(texts[2], texts[0]);
}

// Every flag the README shows is in the help, which is made from the parser's own table.
TEST(OptionTable, HelpListsEveryDocumentedFlag)
{
    const std::string help = StandardOutputOf({"--help"});
    EXPECT_EQ(StandardOutputOf({"-h"}), help);
    const std::string readme = testfiles::ReadText(QUILLON_SOURCE_DIR "/README.md");
    const std::regex flag("quillon-render[^\n`]*");
    std::set<std::string> documented;
    for (std::sregex_iterator line(readme.begin(), readme.end(), flag), end; line != end; ++line) {
        const std::string text = line->str();
        const std::regex name("--[a-z][a-z-]+");
        for (std::sregex_iterator m(text.begin(), text.end(), name); m != end; ++m)
            documented.insert(m->str());
    }
    ASSERT_GT(documented.size(), 20u);
    for (const std::string& f : documented)
        EXPECT_NE(help.find("  " + f + " "), std::string::npos) << f << " missing from the help";
}
