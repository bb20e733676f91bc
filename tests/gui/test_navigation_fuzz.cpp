// Random texts for the Position box: the reader and Submit either give a region or the exact message, never a crash.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <optional>
#include <random>
#include <regex>
#include <string>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "window/FormJU.h"
#include "window/ErrorReport.h"
#include "window/PositionParse.h"
#include "window/RegionFormat.h"
#include "view/DeepNavigation.h"
#include "WindowTestSupport.h"
#include "ScriptedDialogs.h"

using engine::Extended;
using engine::Real48;

namespace {

class TextSource {
public:
    TextSource(std::uint64_t seed, char sep) : rng_(seed), sep_(sep) {}

    std::string Next(bool allowLong = true)
    {
        switch (Pick(allowLong ? 10 : 9)) {
        case 0:
        case 1:
        case 2:
            return Noise(Pick(30));
        case 3:
        case 4:
        case 5:
        case 6:
            return Number();
        case 7:
        case 8:
            return Mutated(Number());
        default:
            return Long();
        }
    }

    // A number a region field can usually hold, sometimes not.
    std::string Number()
    {
        std::string s = Blanks();
        if (Pick(3) == 0)
            s += Pick(2) ? '-' : '+';
        const int whole = Pick(6);
        s += Digits(whole);
        if (whole == 0 || Pick(2)) {
            s += sep_;
            s += Digits(whole == 0 ? 1 + Pick(8) : Pick(8));
        }
        if (Pick(3) == 0) {
            s += Pick(2) ? 'E' : 'e';
            if (Pick(2))
                s += Pick(2) ? '-' : '+';
            s += std::to_string(Pick(3) == 0 ? Pick(5000) : Pick(45));
        }
        return s + Blanks();
    }

    // The test code is built unoptimised, where a distribution object per draw
    // made generating the long texts most of the test's time; the slight bias
    // of a remainder does not matter to a fuzz source.
    int Pick(int n) { return static_cast<int>(rng_() % static_cast<std::uint64_t>(n)); }

    // 1,000 to 100,000 characters.
    std::string Long()
    {
        const std::size_t n = static_cast<std::size_t>(1000 + Pick(99001));
        switch (Pick(4)) {
        case 0: // many digits brought back into range by the exponent
            return std::string(1, '1') + std::string(n, '0') + "E-" + std::to_string(n);
        case 1:
            return Digits(static_cast<int>(n));
        case 2:
            return "0" + std::string(1, sep_) + Digits(static_cast<int>(n));
        default:
            return Noise(static_cast<int>(n));
        }
    }

private:
    std::string Noise(int n)
    {
        static const std::string alphabet = "0123456789+-.,eE xX\tn\x01\xc3\xa9";
        // Eight characters from each draw, one per byte.
        std::string s(static_cast<std::size_t>(n), ' ');
        std::uint64_t bits = 0;
        for (std::size_t k = 0; k < s.size(); ++k, bits >>= 8) {
            if (k % 8 == 0)
                bits = rng_();
            s[k] = alphabet[(bits & 0xff) % alphabet.size()];
        }
        return s;
    }

    std::string Digits(int n)
    {
        // Nineteen digits from each draw.
        std::string s(static_cast<std::size_t>(n), '0');
        std::uint64_t digits = 0;
        for (std::size_t k = 0; k < s.size(); ++k, digits /= 10) {
            if (k % 19 == 0)
                digits = rng_();
            s[k] = static_cast<char>('0' + digits % 10);
        }
        return s;
    }

    std::string Blanks() { return Pick(5) == 0 ? std::string(static_cast<std::size_t>(1 + Pick(3)), ' ') : ""; }

    std::string Mutated(std::string s)
    {
        const std::size_t at = s.empty() ? 0 : static_cast<std::size_t>(Pick(static_cast<int>(s.size())));
        const std::string noise = Noise(1);
        switch (Pick(3)) {
        case 0:
            return s.insert(at, noise);
        case 1:
            return s.empty() ? s : s.erase(at, 1);
        default:
            return s.empty() ? noise : s.replace(at, 1, noise);
        }
    }

    std::mt19937_64 rng_;
    char sep_;
};

// The grammar, written independently of the reader.
bool WellFormed(const std::string& s, char sep)
{
    const std::string p = sep == '.' ? "\\." : std::string(1, sep);
    static std::regex dot, comma;
    std::regex& re = sep == '.' ? dot : comma;
    if (re.mark_count() == 0)
        re = std::regex("^[ \\t]*[+-]?(([0-9]+(" + p + "[0-9]*)?)|(" + p + "[0-9]+))([eE][+-]?[0-9]+)?[ \\t]*$");
    return std::regex_match(s, re);
}

std::optional<Extended> Reference(const std::string& s, char sep)
{
    std::string t;
    for (char c : s)
        if (c != ' ' && c != '\t')
            t += c == sep ? '.' : c;
    if (!t.empty() && t[0] == '+')
        t.erase(0, 1);
    Extended v = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    if (ec != std::errc() || end != t.data() + t.size())
        return std::nullopt;
    return v;
}

class NoWorkerJU4 : public TFormJU4 {
public:
    int started = 0;
    // The fuzz is about reading the texts: the calculation each good
    // Submit starts is not run.
    void CreateCalcThread() override { ++started; }
};

} // namespace

TEST(NavigationFuzz, ReaderAcceptsExactlyTheNumberGrammar)
{
    for (char sep : {'.', ','}) {
        TextSource source(sep == '.' ? 7001 : 7002, sep);
        int accepted = 0;
        for (int k = 0; k < 10000; ++k) {
            const std::string text = source.Next();
            const std::optional<Extended> v = window::ParseRegionNumber(text, sep);
            if (v) {
                ++accepted;
                ASSERT_TRUE(std::isfinite(*v)) << text;
            }
            if (text.size() > 500)
                continue; // the regex engine recurses per character
            const bool wellFormed = WellFormed(text, sep);
            if (!wellFormed) {
                ASSERT_FALSE(v.has_value()) << "'" << text << "'";
                continue;
            }
            const std::optional<Extended> ref = Reference(text, sep);
            if (ref) {
                ASSERT_TRUE(v.has_value()) << "'" << text << "'";
                ASSERT_EQ(*v, *ref) << "'" << text << "'";
            } else {
                // Out of the extended range: rejected when too large, tiny when too small.
                ASSERT_TRUE(!v.has_value() || std::fabs(*v) < 1.0L) << "'" << text << "'";
            }
        }
        EXPECT_GT(accepted, 3000) << "the source must reach the valid paths too";
    }
}

TEST(NavigationFuzz, SubmitGivesARegionOrTheExactMessage)
{
    NoWorkerJU4 w;
    w.StartPending = false;
    ASSERT_TRUE(guitest::OpenWindow(w));
    std::vector<QString> messages;
    testseam::Dialogs().error = [&](const QString& m) { messages.push_back(m); };
    const std::string separator = window::SystemDecimalSeparator();
    ASSERT_EQ(separator.size(), 1u) << "the texts below are made with a one-byte separator";
    const char sep = separator[0];
    TextSource source(99173, sep);
    QLineEdit* boxes[4] = {w.EdX1, w.EdY1, w.EdX2, w.EdY2}; // in the order they are read
    int succeeded = 0, invalid = 0, overflowed = 0;

    // Each Submit repaints the whole picture: 400 rounds reach every kind of
    // text many times over, the reader's own fuzz above takes the thousands.
    for (int round = 0; round < 400; ++round) {
        if (!w.BBSubmit->isEnabled())
            QTest::mouseClick(w.BBEdit, Qt::LeftButton);
        ASSERT_TRUE(w.BBSubmit->isEnabled());
        for (QLineEdit* e : boxes)
            e->setText(QString::fromStdString(source.Pick(4) == 0 ? source.Next(false) : source.Number()));
        // Long texts now and then: the box keeps them whole.
        if (round % 20 == 0) {
            QLineEdit* e = boxes[(round / 20) % 4];
            const QString text = QString::fromStdString(source.Long());
            e->setText(text);
            ASSERT_EQ(e->text(), text);
        }

        // What Submit must do, step by step.
        engine::Region expected = w.ViewRegion;
        std::optional<QString> message;
        Real48* fields[4] = {&expected.XStart, &expected.YStart, &expected.XWidth, &expected.YHeight};
        for (int k = 0; k < 4 && !message; ++k) {
            const QString text = boxes[k]->text();
            const std::optional<Extended> v = window::ParseRegionNumber(text.toStdString(), sep);
            if (!v) {
                message = "'" + text + "' is not a valid floating point value";
                break;
            }
            const Extended value = k < 2 ? *v : *v - (k == 2 ? expected.XStart : expected.YStart).ToExtended();
            try {
                *fields[k] = Real48::FromExtended(value);
            } catch (const engine::FloatingPointOverflow&) {
                message = "Floating point overflow";
            }
        }
        const QString labelX1 = w.LabX1->text();
        const int startedBefore = w.started;
        messages.clear();

        QTest::mouseClick(w.BBSubmit, Qt::LeftButton);

        ASSERT_EQ(w.ViewRegion, expected) << "round " << round;
        if (message) {
            ASSERT_EQ(messages, std::vector<QString>{*message}) << "round " << round;
            ASSERT_FALSE(w.IsCalculating());
            ASSERT_EQ(w.started, startedBefore);
            ASSERT_TRUE(w.BBSubmit->isEnabled()) << "still editing";
            ASSERT_EQ(w.LabX1->text(), labelX1);
            (*message == "Floating point overflow" ? overflowed : invalid) += 1;
        } else {
            ASSERT_TRUE(messages.empty()) << messages.front().left(200).toStdString();
            ASSERT_TRUE(w.IsCalculating());
            ASSERT_EQ(w.started, startedBefore + 1);
            if (w.Model.Deep()) {
                // Corners closer than 6-byte numbers can place them go deep, and only those.
                ASSERT_FALSE(view::SixByteHolds(expected)) << "round " << round;
                // A deep box reads centre and extents: Back to the corners read here.
                w.FinishCalculation();
                w.MMBack->trigger();
                ASSERT_FALSE(w.Model.Deep()) << "round " << round;
            } else {
                ASSERT_EQ(w.LabX1->text().toStdString(),
                          window::FormatRegionNumber(expected.XStart.ToExtended(), sep));
            }
            w.FinishCalculation();
            ++succeeded;
        }
    }
    testseam::Dialogs().error = nullptr;
    EXPECT_GT(succeeded, 100);
    EXPECT_GT(invalid, 80);
    EXPECT_GT(overflowed, 60);
}
