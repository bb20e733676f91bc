// Bounded fuzz of the gradient with any colours and bounds, the browser command builder and the scene-name rule.
#include <gtest/gtest.h>

#include <QChar>

#include <climits>
#include <random>

#include "FuzzOracles.h"

namespace {

constexpr int kNameInputs = 20000;

int PickBound(std::mt19937_64& rng)
{
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    switch (pick(5)) {
    case 0:
        return pick(256);
    case 1: // just outside the table
        return pick(40) - 20 + (pick(2) ? 0 : 255);
    case 2:
        return pick(2000) - 1000;
    case 3: { // the ends of int
        static const int kEnds[] = {INT_MIN, INT_MIN + 1, INT_MAX - 1, INT_MAX, -1, 0, 255, 256};
        return kEnds[pick(8)];
    }
    default:
        return static_cast<int>(static_cast<std::uint32_t>(rng()));
    }
}

} // namespace

TEST(FuzzGradient, AnyColoursAndBoundsWriteOnlyTheirEntriesWithinTheirColours)
{
    std::mt19937_64 rng(2561);
    colour::TPaletteTable start{};
    for (int k = 0; k < 256; ++k) {
        start.Red[static_cast<std::size_t>(k)] = 1000 + k; // no gradient ever writes these
        start.Green[static_cast<std::size_t>(k)] = -1 - k;
        start.Blue[static_cast<std::size_t>(k)] = 7777;
    }
    // Bounds billions apart must cost no more than the 256 entries they
    // reach; a gradient that walked them would hang, which ctest's timeout catches.
    int failures = 0;
    for (int k = 0; k < kNameInputs && failures < 10; ++k) {
        // Any 32-bit word: the top byte is not a colour and must be ignored.
        const auto A = static_cast<colour::ColourWord>(rng());
        const auto B = static_cast<colour::ColourWord>(rng());
        const int first = PickBound(rng);
        const int last = PickBound(rng);
        const std::string problem = oracle::CheckGradient(A, B, first, last, start);
        if (!problem.empty()) {
            ADD_FAILURE() << "input " << k << ": " << problem;
            ++failures;
        }
    }
}

TEST(FuzzGradient, ExtremeBoundsFillTheWholeTable)
{
    colour::TPaletteTable p{};
    colour::Gradient(colour::kBlack, colour::kWhite, INT_MIN, INT_MAX, p);
    // Entry 0 lies half way along a ramp of 2^32 entries: mid grey.
    EXPECT_EQ(p.Red[0], 128);
    EXPECT_EQ(p.Red[255], 128);
    colour::Gradient(colour::kBlack, colour::kWhite, 0, INT_MAX, p);
    EXPECT_EQ(p.Green[0], 0);
    EXPECT_EQ(p.Green[255], 0);
    colour::Gradient(colour::kWhite, colour::kBlack, INT_MAX, INT_MAX, p); // nothing inside the table
    EXPECT_EQ(p.Blue[255], 0);
}

namespace {

QString RandomText(std::mt19937_64& rng, int maxLength)
{
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    static const char16_t kPieces[] = {u'"', u'%', u'1', u' ', u'\t', u'\\', u'\'', u';', u'$', u'&',
                                       u'|', u'`', u'a', u'/', u':', u'\n', u'\0', u'\u00e9', u'\u4e2d'};
    QString s;
    for (int n = pick(maxLength + 1); n > 0; --n) {
        switch (pick(6)) {
        case 0:
            s += QStringLiteral("\"%1\"");
            break;
        case 1:
            s += QStringLiteral("%1");
            break;
        case 2:
            s += QChar(static_cast<char16_t>(1 + pick(0xD7FF)));
            break;
        default:
            s += QChar(kPieces[pick(sizeof kPieces / sizeof kPieces[0])]);
            break;
        }
    }
    return s;
}

} // namespace

TEST(FuzzBrowserCommand, TheAddressIsOneArgumentAndNothingFromThePlaceholderOnSurvives)
{
    std::mt19937_64 rng(8080);
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    static const QString kPrograms[] = {QStringLiteral("xdg-open "), QStringLiteral("\"/opt/My Browser/run\" "),
                                        QStringLiteral("firefox -new-tab "), QString()};
    int failures = 0;
    int withProgram = 0;
    for (int k = 0; k < kNameInputs && failures < 10; ++k) {
        const QString line = kPrograms[pick(4)] + RandomText(rng, 12);
        QString url = RandomText(rng, 10);
        if (pick(3) == 0)
            url = QStringLiteral("https://example.org/a b?q=\"x\"&y=$(rm -rf ~);`id`") + url;
        const std::string problem = oracle::CheckBrowserCommand(line, url);
        if (!problem.empty()) {
            ADD_FAILURE() << "input " << k << ": " << problem;
            ++failures;
        }
        if (!window::BrowserCommandFor(line, url).program.isEmpty())
            ++withProgram;
    }
    EXPECT_GT(withProgram, kNameInputs / 4);
    EXPECT_LT(withProgram, kNameInputs);
}

TEST(FuzzSceneName, PovAppendedExactlyWhenNoPovInAnyCaseAnywhere)
{
    std::mt19937_64 rng(1995);
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    static const char* const kPieces[] = {".pov", ".POV", ".pOv", ".po", "pov", ".p ov", "/", ".", "..",
                                          "\xc3\xa9", "\0", ".tga", "julia", "my.povfiles/", ". pov", ".PO"};
    int failures = 0;
    int appended = 0;
    for (int k = 0; k < kNameInputs && failures < 10; ++k) {
        std::string name;
        for (int n = pick(8); n > 0; --n) {
            if (pick(3) == 0)
                name += static_cast<char>(pick(256));
            else
                name += kPieces[pick(sizeof kPieces / sizeof kPieces[0])];
        }
        if (exporter::SceneName(name).size() != name.size())
            ++appended;
        const std::string problem = oracle::CheckSceneName(name);
        if (!problem.empty()) {
            ADD_FAILURE() << "input " << k << ": " << problem;
            ++failures;
        }
    }
    EXPECT_GT(appended, kNameInputs / 5);
    EXPECT_LT(appended, kNameInputs * 4 / 5);
}
