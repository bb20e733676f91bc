// Recolouring a finished picture: track bars, palette pages, colour panels and Reset, all without recalculation.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

#include <QPushButton>
#include <QSlider>
#include <QTabWidget>

#include "window/FormJU.h"
#include "window/ColourPanel.h"
#include "window/PictureView.h"
#include "WindowTestSupport.h"
#include "ScriptedDialogs.h"

using namespace guitest;

namespace {

// Counts recolourings, to tell one from two.
class CountingWindow : public TFormJU4 {
public:
    int recolours = 0;
    void Recolour() override
    {
        ++recolours;
        TFormJU4::Recolour();
    }
};

class WindowColours : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        window = std::make_unique<CountingWindow>();
        ASSERT_TRUE(OpenWindow(*window));
        ASSERT_TRUE(WaitForCalculation(*window));
        values = window->IterBuffer.Snapshot();
        original = Rgb32(window->PB->Picture());
    }
    static void TearDownTestSuite() { window.reset(); }

    void TearDown() override
    {
        testseam::Dialogs().colour = nullptr;
        window->ButResetClick();
    }

    QImage Shown() const { return Rgb32(window->PB->Picture()); }

    static std::unique_ptr<CountingWindow> window;
    static std::vector<std::uint8_t> values;
    static QImage original;
};

std::unique_ptr<CountingWindow> WindowColours::window;
std::vector<std::uint8_t> WindowColours::values;
QImage WindowColours::original;

} // namespace

TEST_F(WindowColours, TrackBarMovesRecolourFromTheValuesAndMovingBackRestoresThePictureExactly)
{
    CountingWindow& w = *window;
    w.TB1->setFocus();
    QTest::keyClick(w.TB1, Qt::Key_Right);
    ASSERT_EQ(w.TB1->value(), 1);
    EXPECT_NE(Shown(), original);
    EXPECT_EQ(Shown(), ExpectedPicture(w));
    QTest::keyClick(w.TB1, Qt::Key_Left);
    EXPECT_EQ(Shown(), original);

    // Each channel's bar saturates its own channel and leaves the other two as they were.
    const struct {
        QSlider* bar;
        int channel; // 0 red, 1 green, 2 blue
    } bars[] = {{w.TBR, 0}, {w.TBG, 1}, {w.TBB, 2}};
    const auto component = [](QRgb c, int channel) { return channel == 0 ? qRed(c) : channel == 1 ? qGreen(c) : qBlue(c); };
    for (const auto& b : bars) {
        SCOPED_TRACE(b.bar->objectName().toStdString());
        for (const int position : {255, -255}) {
            b.bar->setValue(position);
            const QImage shown = Shown();
            EXPECT_EQ(shown, ExpectedPicture(w));
            for (int y = 0; y < 768; y += 31)
                for (int x = 0; x < 1024; x += 29)
                    for (int channel = 0; channel < 3; ++channel)
                        ASSERT_EQ(component(shown.pixel(x, y), channel),
                                  channel != b.channel ? component(original.pixel(x, y), channel)
                                                       : position > 0 ? 255 : 0)
                            << "position " << position << ", channel " << channel << " at " << x << ", " << y;
        }
        b.bar->setValue(0);
        EXPECT_EQ(Shown(), original);
    }
    EXPECT_EQ(w.IterBuffer.Snapshot(), values) << "recolouring never recalculates";
    EXPECT_FALSE(w.IsCalculating());
}

TEST_F(WindowColours, PalettePagesBuildTheirGradientAndTheVgaPageRestoresTheDefault)
{
    CountingWindow& w = *window;
    w.PagCPal->setCurrentWidget(w.TS2);
    colour::TPaletteTable two;
    colour::BuildPalette2(colour::kBlue, colour::kWhite, two);
    EXPECT_EQ(w.Palette, two);
    EXPECT_EQ(Shown(), ExpectedPicture(w));
    EXPECT_NE(Shown(), original);

    w.PagCPal->setCurrentWidget(w.TS15);
    EXPECT_EQ(w.Palette, colour::BuildPaletteForPage(colour::PalettePage::Fifteen, colour::PanelColours{}));
    w.PagCPal->setCurrentWidget(w.TSVga);
    EXPECT_EQ(w.Palette, colour::DefaultVgaPalette);
    EXPECT_EQ(Shown(), original);
}

TEST_F(WindowColours, PanelClickTakesTheChosenColourAndTheDialogRemembersItsLastColour)
{
    CountingWindow& w = *window;
    std::vector<QColor> offered;
    std::optional<QColor> answer = QColor(10, 20, 30);
    testseam::Dialogs().colour = [&](const QColor& initial) {
        offered.push_back(initial);
        return answer;
    };
    w.PagCPal->setCurrentWidget(w.TS2);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));

    QTest::mouseClick(w.Panel21, Qt::LeftButton);
    ASSERT_EQ(offered.size(), 1u);
    EXPECT_EQ(offered[0], QColor(Qt::black)) << "black the first time, not the panel's colour";
    EXPECT_EQ(w.Panel21->Colour(), colour::MakeColour(10, 20, 30));
    colour::TPaletteTable expected;
    colour::BuildPalette2(colour::MakeColour(10, 20, 30), colour::kWhite, expected);
    EXPECT_EQ(w.Palette, expected);
    EXPECT_EQ(Shown(), ExpectedPicture(w));

    // Cancelled: the panel keeps its colour, the palette is still rebuilt.
    answer.reset();
    const int before = w.recolours;
    QTest::mouseClick(w.Panel22, Qt::LeftButton);
    ASSERT_EQ(offered.size(), 2u);
    EXPECT_EQ(offered[1], QColor(10, 20, 30));
    EXPECT_EQ(w.Panel22->Colour(), colour::kWhite);
    EXPECT_EQ(w.recolours, before + 1);

    // Reset leaves the panel colours as they are.
    w.ButResetClick();
    EXPECT_EQ(w.Panel21->Colour(), colour::MakeColour(10, 20, 30));
    // The panel shows the window's colour: it goes back to blue for the next
    // tests as a user would set it, and the page's palette follows.
    answer = QColor(0, 0, 255);
    QTest::mouseClick(w.Panel21, Qt::LeftButton);
    EXPECT_EQ(w.Panel21->Colour(), colour::kBlue);
    EXPECT_EQ(w.CurrentPanelColours(), colour::PanelColours{});
}

TEST_F(WindowColours, ResetGoesBackToVgaAndZeroOffsetsWithOneRecolouring)
{
    CountingWindow& w = *window;
    w.PagCPal->setCurrentWidget(w.TS15);
    w.TB1->setValue(5);
    w.TBR->setValue(10);
    w.TBG->setValue(-20);
    w.TBB->setValue(30);
    ASSERT_NE(Shown(), original);

    const int before = w.recolours;
    QTest::mouseClick(w.ButReset, Qt::LeftButton);
    EXPECT_EQ(w.recolours, before + 1);
    EXPECT_EQ(w.PagCPal->currentWidget(), w.TSVga);
    for (QSlider* s : {w.TB1, w.TBR, w.TBG, w.TBB})
        EXPECT_EQ(s->value(), 0) << s->objectName().toStdString();
    EXPECT_EQ(w.Palette, colour::DefaultVgaPalette);
    EXPECT_EQ(Shown(), original);
}

namespace {

// The one colour every pixel of the view shows, or nothing when it shows more than one.
std::optional<QRgb> UniformColourOf(PictureView& view)
{
    const QImage shown = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
    if (shown.isNull())
        return std::nullopt;
    const QRgb first = shown.pixel(0, 0);
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            if (shown.pixel(x, y) != first)
                return std::nullopt;
    return first;
}

QRgb ColourOfValue(const TFormBasicTamoSet& w, std::uint8_t value)
{
    return 0xFF000000u | colour::ColourTableRgb32(w.Palette, w.CurrentAdjust())[value];
}

} // namespace

TEST(WindowColoursBeforeAnyPicture, TheViewShowsTheUniformStartPictureInTheCurrentColours)
{
    TFormJU4 w; // never shown: nothing calculated, no picture handed over yet
    EXPECT_TRUE(w.PB->Picture().isNull());
    const std::optional<QRgb> start = UniformColourOf(*w.PB);
    ASSERT_TRUE(start.has_value()) << "the view shows one colour";
    EXPECT_EQ(*start, ColourOfValue(w, 28));

    // Colour changes before the first calculation reach the uniform picture.
    w.TB1->setValue(7);
    w.PagCPal->setCurrentWidget(w.TS3);
    EXPECT_EQ(w.CurrentAdjust().rotation, 7);
    EXPECT_TRUE(w.PB->Picture().isNull());
    const std::optional<QRgb> recoloured = UniformColourOf(*w.PB);
    ASSERT_TRUE(recoloured.has_value());
    EXPECT_EQ(*recoloured, ColourOfValue(w, 28));
    EXPECT_NE(*recoloured, *start);
}
