// Recolouring a finished picture: track bars, palette pages, colour panels and Reset, all without recalculation.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

#include <QPushButton>
#include <QSlider>
#include <QTabWidget>

#include "fractals/FormJU.h"
#include "window/ColourPanel.h"
#include "window/PictureView.h"
#include "WindowTestSupport.h"

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
        TFormBasicTamoSet::ColourChoiceHook = nullptr;
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

    w.TBR->setValue(255);
    const QImage red = Shown();
    for (int y = 0; y < 768; y += 31)
        for (int x = 0; x < 1024; x += 29)
            ASSERT_EQ(qRed(red.pixel(x, y)), 255);
    EXPECT_EQ(red, ExpectedPicture(w));
    w.TBR->setValue(-255);
    for (int y = 0; y < 768; y += 31)
        for (int x = 0; x < 1024; x += 29)
            ASSERT_EQ(qRed(Shown().pixel(x, y)), 0);
    w.TBR->setValue(0);
    EXPECT_EQ(Shown(), original);
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
    TFormBasicTamoSet::ColourChoiceHook = [&](const QColor& initial) {
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
    w.Panel21->SetColour(colour::kBlue);
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

TEST(WindowColoursBeforeAnyPicture, ColourChangesBeforeTheFirstCalculationLeaveTheViewEmpty)
{
    TFormJU4 w; // never shown: nothing calculated, nothing shown yet
    w.TB1->setValue(7);
    w.PagCPal->setCurrentWidget(w.TS3);
    EXPECT_TRUE(w.PB->Picture().isNull());
    EXPECT_EQ(w.CurrentAdjust().rotation, 7);
}
