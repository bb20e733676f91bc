// Discoverable keys: tooltips that name them, the keys shown in the Move menu working on the picture only, Help ▸ Keys and Mouse.
#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>

#include "window/FormJU.h"
#include "window/FormRN.h"
#include "shell/Application.h"
#include "shell/HelpForms.h"
#include "window/KeyHints.h"
#include "window/PictureView.h"
#include "WindowTestSupport.h"

using namespace guitest;

TEST(KeyHints, ControlsNameTheirKeysAndHelpListsEveryKeyAndMouseAction)
{
    CreateApplicationWindows();
    TFormBasicTamoSet& w = *FormJU4;
    const struct {
        QWidget* control;
        const char* key;
    } named[] = {{w.BitBtnUp, "Up"},   {w.BitBtnDown, "Down"}, {w.BitBtnLeft, "Left"}, {w.BitBtnRight, "Right"},
                 {w.BitBtnZIN, "+"},   {w.BitBtnZOUT, "-"},    {w.SBCancel, "Esc"},    {w.PB, "Wheel"}};
    for (const auto& n : named)
        EXPECT_TRUE(n.control->toolTip().contains(QLatin1String(n.key)))
            << n.control->objectName().toStdString() << ": " << n.control->toolTip().toStdString();
    const std::vector<QWidget*> described = {w.TB1,     w.TBR,    w.TBG,      w.TBB,      w.ButReset,
                                             w.ProgBar, w.BBEdit, w.BBCancel, w.BBSubmit, w.SBZoom};
    for (QWidget* c : described)
        EXPECT_FALSE(c->toolTip().isEmpty()) << c->objectName().toStdString();

    auto* hints = w.findChild<window::KeyHints*>();
    ASSERT_NE(hints, nullptr);
    ASSERT_NE(FormKeys, nullptr);
    EXPECT_FALSE(FormKeys->isVisible());
    hints->MMKeysAndMouse->trigger();
    EXPECT_TRUE(FormKeys->isVisible());
    EXPECT_EQ(FormKeys->windowTitle(), "Keys and Mouse");
    const QString text = FormKeys->Memo1->toPlainText();
    for (const char* item : {"wheel", "Pinch", "Middle button drag", "Ctrl + left drag", "Shift", "Esc", "Arrow keys",
                             "+ and -", "Home", "Alt + Left", "Ctrl+O"})
        EXPECT_TRUE(text.contains(QLatin1String(item), Qt::CaseInsensitive)) << item;
    DestroyApplicationWindows();
    EXPECT_EQ(FormKeys, nullptr);
}

TEST(KeyHints, TheMenusKeysMoveThePictureOnlyWhileItHasTheFocus)
{
    TFormJU4 w;
    w.SetRegionBySize(100.1L, 7.3L, 99.7L, 5.9L); // every point escapes at once
    ASSERT_TRUE(OpenWindow(w));
    ASSERT_TRUE(WaitForCalculation(w));
    w.BBEditClick();
    w.EdX1->setFocus();
    ASSERT_TRUE(WaitUntil([&] { return w.EdX1->hasFocus(); }, 2000));
    const engine::Region before = w.ViewRegion;
    const QString typed = w.EdX1->text();
    QTest::keyClick(w.EdX1, Qt::Key_Left);
    QTest::keyClick(w.EdX1, Qt::Key_Minus);
    EXPECT_EQ(w.ViewRegion, before) << "in an edit box the keys edit";
    EXPECT_EQ(w.EdX1->text().size(), typed.size() + 1);
    EXPECT_FALSE(w.IsCalculating());

    w.BBCancelClick();
    w.PB->setFocus();
    ASSERT_TRUE(WaitUntil([&] { return w.PB->hasFocus(); }, 2000));
    QTest::keyClick(w.PB, Qt::Key_Minus);
    EXPECT_EQ(w.ViewRegion.XWidth.ToExtended(), before.XWidth.ToExtended() * 2);
    ASSERT_TRUE(WaitForCalculation(w));
}

TEST(KeyHints, HomeReturnsToTheOpeningViewAsANewStepAndWaitsForACalculation)
{
    TFormRN4 w;
    ASSERT_TRUE(OpenWindow(w));
    ASSERT_TRUE(WaitForCalculation(w));
    const engine::Region opening = w.ViewRegion;
    const engine::TValueFunction formula = w.ValueFunction;
    auto* hints = w.findChild<window::KeyHints*>();
    ASSERT_NE(hints, nullptr);

    // Another type, then a zoom: region and formula both away from the start.
    QTest::mouseClick(w.TypeButtons()[2], Qt::LeftButton);
    ASSERT_TRUE(WaitForCalculation(w));
    QTest::mouseClick(w.BitBtnZIN, Qt::LeftButton);
    EXPECT_FALSE(hints->MMHome->isEnabled()) << "it waits, as the other move commands do";
    ASSERT_TRUE(WaitForCalculation(w));
    ASSERT_NE(w.ValueFunction, formula);
    const std::size_t steps = w.History.Size();

    w.PB->setFocus();
    ASSERT_TRUE(WaitUntil([&] { return w.PB->hasFocus(); }, 2000));
    QTest::keyClick(w.PB, Qt::Key_Home);
    EXPECT_EQ(w.ViewRegion, opening);
    EXPECT_EQ(w.ValueFunction, formula);
    EXPECT_EQ(w.History.Size(), steps + 1) << "one new step; Back returns to the zoomed view";
    ASSERT_TRUE(WaitForCalculation(w));
    EXPECT_EQ(w.IterBuffer.Snapshot(), ReferenceBuffer(w.ViewRegion, *w.CurrentPointSet(), w.ValueFunction));
}
