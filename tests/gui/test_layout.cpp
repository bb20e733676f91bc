// The View and Options menu commands: check marks, visible boxes, docking sides, a window that keeps its size.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSlider>

#include <utility>
#include <vector>

#include "window/FormJU.h"
#include "window/FormRN.h"
#include "window/PictureView.h"
#include "WindowTestSupport.h"

using namespace guitest;

namespace {

// Layout needs a shown window but no picture: the first calculation is not started.
bool OpenWithoutCalculating(TFormBasicTamoSet& w)
{
    w.StartPending = false;
    return OpenWindow(w);
}

// Where every widget of the shown windows is, and whether it shows.
std::vector<std::pair<QRect, bool>> Geometries()
{
    std::vector<std::pair<QRect, bool>> all;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (!top->isVisible())
            continue;
        all.emplace_back(top->geometry(), true);
        for (const QWidget* child : top->findChildren<QWidget*>())
            all.emplace_back(child->geometry(), child->isVisible());
    }
    return all;
}

// Lets the layout settle after a command: runs the posted layout requests and
// the window system's resize events until a pass moves nothing.
void Settle()
{
    for (int pass = 0; pass < 100; ++pass) {
        const auto before = Geometries();
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        if (Geometries() == before)
            return;
    }
    ADD_FAILURE() << "the layout never settles";
}

struct Checks {
    bool control, position, rightControl, leftPosition;
    bool operator==(const Checks&) const = default;
};

Checks ChecksOf(const TFormBasicTamoSet& w)
{
    return {w.MMControl->isChecked(), w.MMPosition->isChecked(), w.MMRightControl->isChecked(),
            w.MMLeftPosition->isChecked()};
}

std::ostream& operator<<(std::ostream& os, const Checks& c)
{
    return os << "control " << c.control << ", position " << c.position << ", right control " << c.rightControl
              << ", left position " << c.leftPosition;
}

int Right(const QWidget* w) { return w->x() + w->width(); }

} // namespace

TEST(Layout, ViewCommandsSetTheCheckMarksAndTheViewBoxTakesTheSpace)
{
    TFormJU4 w;
    ASSERT_TRUE(OpenWithoutCalculating(w));
    Settle();
    const QSize size = w.size();
    EXPECT_EQ(ChecksOf(w), (Checks{true, true, true, true}));
    EXPECT_TRUE(w.GroupBox2->isVisible());
    EXPECT_TRUE(w.GroupBox4->isVisible());
    EXPECT_EQ(w.GroupBox2->width(), 108);
    EXPECT_EQ(w.GroupBox4->width(), 101);
    const int full = w.GroupBox1->width();
    const int client = w.centralWidget()->width();
    EXPECT_EQ(full, client - 108 - 101);

    w.MMControl->trigger(); // as the menu does it
    Settle();
    EXPECT_EQ(ChecksOf(w), (Checks{false, true, true, true}));
    EXPECT_TRUE(w.GroupBox2->isHidden());
    EXPECT_EQ(w.GroupBox1->width(), full + 108);
    EXPECT_EQ(w.PB->width(), full + 108 - 4) << "the picture is stretched to the wider box";
    EXPECT_EQ(w.size(), size);

    w.MMControlClick(); // called directly, the handler inverts the mark itself
    Settle();
    EXPECT_EQ(ChecksOf(w), (Checks{true, true, true, true}));
    EXPECT_TRUE(w.GroupBox2->isVisible());
    EXPECT_EQ(w.GroupBox1->width(), full);

    w.MMPosition->trigger();
    Settle();
    EXPECT_EQ(ChecksOf(w), (Checks{true, false, true, true}));
    EXPECT_TRUE(w.GroupBox4->isHidden());
    EXPECT_EQ(w.GroupBox1->x(), 0);
    EXPECT_EQ(w.GroupBox1->width(), full + 101);
    EXPECT_EQ(w.size(), size);

    w.MMMinimal->trigger();
    Settle();
    EXPECT_EQ(ChecksOf(w), (Checks{false, false, true, true}));
    EXPECT_FALSE(w.MMMinimal->isChecked());
    EXPECT_TRUE(w.GroupBox2->isHidden());
    EXPECT_TRUE(w.GroupBox4->isHidden());
    EXPECT_EQ(w.GroupBox1->geometry(), w.centralWidget()->rect()) << "only the picture is left";
    EXPECT_EQ(w.size(), size);

    w.MMFull->trigger();
    Settle();
    EXPECT_EQ(ChecksOf(w), (Checks{true, true, true, true}));
    EXPECT_FALSE(w.MMFull->isChecked());
    EXPECT_EQ(w.GroupBox1->width(), full);
    EXPECT_LT(w.GroupBox4->x(), w.GroupBox1->x());
    EXPECT_LT(w.GroupBox1->x(), w.GroupBox2->x());
    EXPECT_EQ(Right(w.GroupBox2), client);
    EXPECT_EQ(w.size(), size);
}

TEST(Layout, OptionsMoveTheBoxesToTheOtherEdge)
{
    TFormJU4 w;
    ASSERT_TRUE(OpenWithoutCalculating(w));
    Settle();
    const QSize size = w.size();
    const int client = w.centralWidget()->width();
    const int full = w.GroupBox1->width();

    w.MMRightControl->trigger();
    Settle();
    EXPECT_EQ(ChecksOf(w), (Checks{true, true, false, true}));
    // Both at the left, the View box right of them and reaching the edge.
    EXPECT_LE(Right(w.GroupBox2), w.GroupBox1->x());
    EXPECT_LE(Right(w.GroupBox4), w.GroupBox1->x());
    EXPECT_EQ(Right(w.GroupBox1), client);
    EXPECT_EQ(w.GroupBox1->width(), full);
    EXPECT_EQ(w.size(), size);

    w.MMLeftPosition->trigger();
    Settle();
    EXPECT_EQ(ChecksOf(w), (Checks{true, true, false, false}));
    // The two boxes have swapped sides.
    EXPECT_EQ(w.GroupBox2->x(), 0);
    EXPECT_LT(w.GroupBox2->x(), w.GroupBox1->x());
    EXPECT_LT(w.GroupBox1->x(), w.GroupBox4->x());
    EXPECT_EQ(Right(w.GroupBox4), client);
    EXPECT_EQ(w.size(), size);

    // Hidden and shown again, a box comes back on its chosen side.
    w.MMMinimal->trigger();
    Settle();
    w.MMFull->trigger();
    Settle();
    EXPECT_EQ(w.GroupBox2->x(), 0);
    EXPECT_EQ(Right(w.GroupBox4), client);

    w.MMLeftPositionClick();
    w.MMRightControlClick();
    Settle();
    EXPECT_EQ(ChecksOf(w), (Checks{true, true, true, true}));
    EXPECT_EQ(w.GroupBox4->x(), 0);
    EXPECT_EQ(Right(w.GroupBox2), client);
    EXPECT_EQ(w.size(), size);
}

TEST(Layout, AHiddenBoxKeepsTheStateOfItsControls)
{
    TFormJU4 w;
    ASSERT_TRUE(OpenWithoutCalculating(w));
    w.PositionBoxEditing();
    w.EdX1->setText("1.25");
    w.TB1->setValue(37);
    w.MMMinimal->trigger();
    Settle();
    w.MMFull->trigger();
    Settle();
    EXPECT_TRUE(w.EdX1->isEnabled());
    EXPECT_TRUE(w.BBSubmit->isEnabled());
    EXPECT_FALSE(w.BBEdit->isEnabled());
    EXPECT_EQ(w.EdX1->text(), "1.25");
    EXPECT_EQ(w.TB1->value(), 37);
    EXPECT_TRUE(w.EdX1->isVisible());
}

TEST(Layout, TypesBoxInARandomSetWindow)
{
    TFormRN5 w;
    ASSERT_TRUE(OpenWithoutCalculating(w));
    Settle();
    const QSize size = w.size();
    const QList<QAction*> items = w.MMView->actions();
    ASSERT_EQ(items.size(), 7); // then a separator and Sharp Picture
    EXPECT_EQ(items[3], w.MMTypes) << "after Position, before Full";
    EXPECT_EQ(items[4], w.MMFull);
    EXPECT_TRUE(w.MMTypes->isChecked());
    // Position box, Types box, picture, Control box.
    EXPECT_LT(w.GroupBox4->x(), w.GroupTypes->x());
    EXPECT_LT(w.GroupTypes->x(), w.GroupBox1->x());
    EXPECT_LT(w.GroupBox1->x(), w.GroupBox2->x());
    EXPECT_EQ(w.GroupTypes->width(), 84);
    const int full = w.GroupBox1->width();

    w.MMTypes->trigger();
    Settle();
    EXPECT_FALSE(w.MMTypes->isChecked());
    EXPECT_TRUE(w.GroupTypes->isHidden());
    EXPECT_EQ(w.GroupBox1->width(), full + 84);
    EXPECT_EQ(w.size(), size);
    w.MMTypesClick();
    Settle();
    EXPECT_TRUE(w.MMTypes->isChecked());
    EXPECT_TRUE(w.GroupTypes->isVisible());
    EXPECT_EQ(w.GroupBox1->width(), full);

    w.MMMinimal->trigger();
    Settle();
    EXPECT_FALSE(w.MMTypes->isChecked());
    EXPECT_FALSE(w.MMControl->isChecked());
    EXPECT_FALSE(w.MMPosition->isChecked());
    EXPECT_TRUE(w.GroupTypes->isHidden());
    EXPECT_TRUE(w.GroupBox2->isHidden());
    EXPECT_TRUE(w.GroupBox4->isHidden());
    EXPECT_EQ(w.GroupBox1->geometry(), w.centralWidget()->rect());
    EXPECT_EQ(w.size(), size);

    w.MMFull->trigger();
    Settle();
    EXPECT_TRUE(w.MMTypes->isChecked());
    EXPECT_TRUE(w.MMControl->isChecked());
    EXPECT_TRUE(w.GroupTypes->isVisible());
    EXPECT_TRUE(w.GroupBox4->isVisible());
    EXPECT_EQ(w.GroupBox1->width(), full);
    EXPECT_EQ(w.size(), size);

    // With the Position box moved right, the Types box stays at the left.
    w.MMLeftPosition->trigger();
    Settle();
    EXPECT_EQ(w.GroupTypes->x(), 0);
    EXPECT_GT(w.GroupBox4->x(), w.GroupBox1->x());
    EXPECT_EQ(w.size(), size);
}

TEST(Layout, CommandsStayAvailableDuringACalculation)
{
    TFormJU4 w;
    w.SetRegionBySize(100.1L, 7.3L, 99.7L, 5.9L);
    ASSERT_TRUE(OpenWindow(w));
    ASSERT_TRUE(w.IsCalculating());
    for (QAction* a : {w.MMMinimal, w.MMControl, w.MMPosition, w.MMFull, w.MMRightControl, w.MMLeftPosition})
        EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
    w.MMPosition->trigger();
    Settle();
    EXPECT_TRUE(w.GroupBox4->isHidden());
    w.MMRightControl->trigger();
    Settle();
    EXPECT_EQ(w.GroupBox2->x(), 0);
    ASSERT_TRUE(WaitForCalculation(w));
}
