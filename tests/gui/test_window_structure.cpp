// What every fractal window is made of: menus, boxes and controls by name, and the catalogue entry each installs.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <utility>

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include "engine/Kernels.h"
#include "window/Form1.h"
#include "window/FormJU.h"
#include "window/FormRN.h"
#include "window/FormTamo.h"
#include "fractals/Catalogue.h"
#include "window/ColourPanel.h"
#include "window/PictureView.h"

namespace {

using Items = std::vector<std::pair<const char*, const char*>>; // objectName, caption; separator: "-"

void ExpectMenu(TFormBasicTamoSet& w, const char* menuName, const char* caption, const Items& items)
{
    auto* menu = w.findChild<QMenu*>(menuName);
    ASSERT_NE(menu, nullptr) << menuName;
    EXPECT_EQ(menu->title(), caption);
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), static_cast<qsizetype>(items.size())) << menuName;
    for (std::size_t i = 0; i < items.size(); ++i) {
        QAction* a = actions[static_cast<qsizetype>(i)];
        if (std::string(items[i].second) == "-") {
            EXPECT_TRUE(a->isSeparator()) << menuName << " item " << i;
            continue;
        }
        EXPECT_EQ(a->objectName(), items[i].first);
        EXPECT_EQ(a->text(), items[i].second);
        // Back and Forward are the only items with keys of their own.
        const QString name = a->objectName();
        if (name == "MMBack")
            EXPECT_EQ(a->shortcut(), QKeySequence(Qt::ALT | Qt::Key_Left));
        else if (name == "MMForward")
            EXPECT_EQ(a->shortcut(), QKeySequence(Qt::ALT | Qt::Key_Right));
        else
            EXPECT_TRUE(a->shortcut().isEmpty()) << items[i].first;
    }
}

std::vector<QWidget*> DockOrder(TFormBasicTamoSet& w)
{
    std::vector<QWidget*> order;
    QLayout* row = w.centralWidget()->layout();
    for (int i = 0; i < row->count(); ++i)
        order.push_back(row->itemAt(i)->widget());
    return order;
}

colour::ColourWord PanelColour(TFormBasicTamoSet& w, const char* name)
{
    auto* p = w.findChild<ColourPanel*>(name);
    return p ? p->Colour() : 0xFFFFFFFFu;
}

} // namespace

TEST(WindowStructure, MenusHaveTheirItemsInOrderWithoutShortcuts)
{
    TFormJU2 w;
    QStringList bar;
    for (QAction* a : w.MMenu->actions())
        bar << a->text();
    EXPECT_EQ(bar, QStringList({"&File", "&Books", "&Edit", "&Move", "&View", "&Options", "&Web", "&Help"}));

    ExpectMenu(w, "MMFile", "&File",
               {{"MMSave", "&Save"},
                {"MMPov", "Export to 3D &POV-Ray file..."},
                {"MMOpenView", "Open View…"},
                {"MMSaveView", "Save View…"},
                {"MMSavePictureView", "Save Picture with View…"},
                {"MMRenderPicture", "Render Picture…"},
                {"MMZoomMovie", "Make Zoom Movie…"},
                {"", "-"},
                {"MMClose", "&Close"}});
    ExpectMenu(w, "Books1", "&Books", {{"MMFractalsBook", "Fractals"}, {"N5", "-"}, {"MMPlanetsBook", "Planets"}});
    ExpectMenu(w, "MMEdit", "&Edit", {{"MMCopytoclipboard", "&Copy to clipboard"}});
    ExpectMenu(w, "MMMove", "&Move",
               {{"MMUp", "&Up"},
                {"MMDown", "&Down"},
                {"MMLeft", "&Left"},
                {"MMRight", "&Right"},
                {"", "-"},
                {"MMZoomIn", "Zoom In"},
                {"MMZoomOut", "Zoom Out"},
                {"", "-"},
                {"MMBack", "Back"},
                {"MMForward", "Forward"}});
    ExpectMenu(w, "MMView", "&View",
               {{"MMMinimal", "&Minimal"}, {"MMControl", "&Control"}, {"MMPosition", "&Position"}, {"MMFull", "&Full"}});
    ExpectMenu(w, "MMOptions", "&Options",
               {{"MMRightControl", "Right Control"},
                {"MMLeftPosition", "Left Position"},
                {"", "-"},
                {"MMLoadPalette", "Load Palette…"},
                {"MMSavePalette", "Save Palette…"},
                {"MMParameters", "Parameters…"}});
    ExpectMenu(w, "MMWeb", "&Web",
               {{"MMHP", "&Quillon Home Page"},
                {"MMPovLink", "POV-Ray Home Page"},
                {"N4", "-"},
                {"MMMandel", "Mandelbrot &Source"},
                {"MM3D", "&3D Images"}});
    ExpectMenu(w, "Help1", "&Help",
               {{"MMOver", "&Overview"},
                {"MMGettingStarted", "&Getting Started"},
                {"MMTheViewBox", "The &View Box"},
                {"MMTheControlBox", "The &Control Box"},
                {"MMThePositionBox", "The &Position Box"},
                {"N3", "-"},
                {"About1", "&About..."}});
    for (QAction* a : {w.MMControl, w.MMPosition, w.MMRightControl, w.MMLeftPosition})
        EXPECT_TRUE(a->isChecked()) << a->objectName().toStdString();
}

TEST(WindowStructure, BoxesAndControlsCarryTheirNamesCaptionsAndRanges)
{
    // Built with the design's painting rhythm, not the one the tests shorten.
    const int shortened = std::exchange(TFormBasicTamoSet::Timer1IntervalHook, 0);
    TFormJU2 w;
    TFormBasicTamoSet::Timer1IntervalHook = shortened;
    EXPECT_EQ(w.GroupBox1->title(), "View");
    EXPECT_EQ(w.GroupBox2->title(), "Control");
    EXPECT_EQ(w.GroupBox4->title(), "Position");
    EXPECT_EQ(w.GroupBox2->maximumWidth(), 108);
    EXPECT_EQ(w.GroupBox4->maximumWidth(), 101);
    EXPECT_EQ(DockOrder(w), (std::vector<QWidget*>{w.GroupBox4, w.GroupBox1, w.GroupBox2}));
    EXPECT_EQ(w.PB->parentWidget(), w.GroupBox1);
    for (const char* bevel : {"Bevel0", "Bevel1", "Bevel2", "Bevel3", "SBZoom", "SBCancel"}) {
        auto* c = w.GroupBox1->findChild<QWidget*>(bevel);
        ASSERT_NE(c, nullptr) << bevel;
        EXPECT_TRUE(c->isHidden()) << bevel;
    }
    EXPECT_EQ(w.SBZoom->size(), QSize(25, 25));
    EXPECT_EQ(w.SBCancel->size(), QSize(25, 25));

    for (const char* b : {"BitBtnUp", "BitBtnLeft", "BitBtnRight", "BitBtnDown", "BitBtnZIN", "BitBtnZOUT"})
        EXPECT_NE(w.GroupBox2->findChild<QToolButton*>(b), nullptr) << b;
    const std::vector<std::pair<const char*, const char*>> labels = {
        {"LabR", "R"}, {"LabG", "G"}, {"LabB", "B"}, {"LabPal", "Palette:"}, {"LabVGADefault", "Default"},
        {"LabEX", "X:"}, {"LabEY", "Y:"}};
    for (auto [name, text] : labels) {
        auto* l = w.findChild<QLabel*>(name);
        ASSERT_NE(l, nullptr) << name;
        EXPECT_EQ(l->text(), text);
    }
    for (auto [name, text] : std::vector<std::pair<const char*, const char*>>{
             {"ButReset", "Reset"}, {"BBEdit", "Edit"}, {"BBCancel", "Cancel"}, {"BBSubmit", "Submit"}}) {
        auto* b = w.findChild<QPushButton*>(name);
        ASSERT_NE(b, nullptr) << name;
        EXPECT_EQ(b->text(), text);
    }
    for (QSlider* s : {w.TBR, w.TBG, w.TBB}) {
        EXPECT_EQ(s->orientation(), Qt::Vertical);
        EXPECT_EQ(s->minimum(), -255);
        EXPECT_EQ(s->maximum(), 255);
        EXPECT_EQ(s->value(), 0);
    }
    EXPECT_EQ(w.TB1->orientation(), Qt::Horizontal);
    EXPECT_EQ(w.TB1->minimum(), 0);
    EXPECT_EQ(w.TB1->maximum(), 200);
    EXPECT_EQ(w.ProgBar->minimum(), 0);
    EXPECT_EQ(w.ProgBar->maximum(), 767);

    QStringList pages;
    for (int i = 0; i < w.PagCPal->count(); ++i)
        pages << w.PagCPal->widget(i)->objectName() + ":" + w.PagCPal->tabText(i);
    EXPECT_EQ(pages, QStringList({"TSVga:Vga", "TS2:2", "TS3:3", "TS4:4", "TS15:15"}));
    EXPECT_EQ(w.PagCPal->currentWidget(), w.TSVga);

    using namespace colour;
    const std::vector<std::pair<const char*, ColourWord>> panels = {
        {"Panel21", kBlue},     {"Panel22", kWhite},    {"Panel31", kBlack},    {"Panel32", kWhite},
        {"Panel33", kYellow},   {"Panel41", kRed},      {"Panel42", kWhite},    {"Panel43", kMaroon},
        {"Panel44", kWhite},    {"PanelX1", kWhite},    {"PanelX2", kBlack},    {"PanelX3", kWhite},
        {"PanelX4", kGreen},    {"PanelX5", kWhite},    {"PanelX6", kMaroon},   {"PanelX7", kWhite},
        {"PanelX8", kRed},      {"PanelX9", kWhite},    {"PanelX10", kBlack},   {"PanelX11", kWhite},
        {"PanelX12", kBlack},   {"PanelX13", kWhite},   {"PanelX14", kMaroon},  {"PanelX15", kBlack}};
    for (auto [name, c] : panels)
        EXPECT_EQ(PanelColour(w, name), c) << name;
    EXPECT_EQ(w.Panel21->size(), QSize(33, 25));
    EXPECT_EQ(w.PanelX[14]->size(), QSize(17, 17));

    for (const char* e : {"EdX1", "EdX2", "EdY1", "EdY2"})
        EXPECT_FALSE(w.findChild<QWidget*>(e)->isEnabled()) << e << " starts idle";
    EXPECT_TRUE(w.BBEdit->isEnabled());
    EXPECT_FALSE(w.BBSubmit->isEnabled());
    EXPECT_FALSE(w.Timer1->isActive());
    EXPECT_EQ(w.Timer1->interval(), 1000);
    EXPECT_TRUE(w.TrueColour) << "a 100 x 100 bitmap of the display takes 30054 bytes as a bitmap file";
    EXPECT_TRUE(w.TBR->isEnabled());
}

TEST(WindowStructure, EveryWindowInstallsItsFormulaRegionAndColourOffset)
{
    struct Expected {
        std::function<TFormBasicTamoSet*()> make;
        const char* className;
        const char* caption;
        int colourOffset;
        QSize size;
        engine::TValueFunction function;
    };
    const QSize base(748, 471);
    const std::vector<Expected> all = {
        {[] { return new TFormTamo1; }, "TFormTamo1", "Tamo1 Set", 49, base, &engine::CountTamoSet},
        {[] { return new TFormTamo2; }, "TFormTamo2", "Tamo2 Set using 3D", 98, base, &engine::CountTamoSet},
        {[] { return new TFormTamo3; }, "TFormTamo3", "Tamo3 Set", 49, base, &engine::CountTamoSet},
        {[] { return new TFormTamo4; }, "TFormTamo4", "Tamo4 Set", 112, QSize(745, 471), &engine::CountTamoSet},
        {[] { return new TFormTamo5; }, "TFormTamo5", "Tamo5 Set", 98, base, &engine::CountTamoSet},
        {[] { return new TFormJU1; }, "TFormJU1", "Julia Set 1", 40, base, &engine::CountJuliaSet},
        {[] { return new TFormJU2; }, "TFormJU2", "Julia Set 2", 56, base, &engine::CountJuliaSet},
        {[] { return new TFormJU3; }, "TFormJU3", "Julia Set 3", 35, base, &engine::CountJuliaSet},
        {[] { return new TFormJU4; }, "TFormJU4", "Julia Set 4", 40, base, &engine::CountJuliaSet},
        {[] { return new TFormJU5; }, "TFormJU5", "Julia Set 5", 54, base, &engine::CountJuliaSet},
        {[] { return new TFormJU6; }, "TFormJU6", "Julia Set 6", 20, base, &engine::CountJuliaSet},
        {[] { return new TFormJU7; }, "TFormJU7", "Julia Set 7", 60, base, &engine::CountJuliaSet},
        {[] { return new TFormJU8; }, "TFormJU8", "Julia Set 8", 49, base, &engine::CountJuliaSet},
        {[] { return new TFormJU9; }, "TFormJU9", "Julia Set 9", 75, base, &engine::CountJuliaSet},
        {[] { return new TFormJU10; }, "TFormJU10", "Julia Set 10", 60, base, &engine::CountJuliaSet},
        {[] { return new TFormJU11; }, "TFormJU11", "Julia Set 11", 49, base, &engine::CountJuliaSet},
        {[] { return new TFormJU12; }, "TFormJU12", "Julia Set 12", 40, base, &engine::CountJuliaSet},
        {[] { return new TFormRN1; }, "TFormRN1", "Tamo Random Sets 1", 49, QSize(743, 471), &engine::RN1Kernel1},
        {[] { return new TFormRN2; }, "TFormRN2", "Tamo Random Sets 2", 49, QSize(743, 471), &engine::RN2Kernel1},
        {[] { return new TFormRN3; }, "TFormRN3", "Tamo Random Sets 3", 49, QSize(743, 471), &engine::RN3Kernel1},
        {[] { return new TFormRN4; }, "TFormRN4", "Tamo Random Sets 4", 49, QSize(743, 471), &engine::RN4Kernel1},
        {[] { return new TFormRN5; }, "TFormRN5", "Tamo Random Sets 5", 49, QSize(743, 471), &engine::RN5Kernel1},
        {[] { return new TFormRN6; }, "TFormRN6", "Sets 6", 49, QSize(743, 471), &engine::RN6Kernel1},
        {[] { return new TForm1; }, "TForm1", "Mandelbrot set via Level Set Method", 49, QSize(745, 430),
         &engine::LevelSetKernel},
    };
    for (const Expected& e : all) {
        std::unique_ptr<TFormBasicTamoSet> w(e.make());
        SCOPED_TRACE(e.className);
        EXPECT_STREQ(w->metaObject()->className(), e.className);
        EXPECT_EQ(w->objectName().toStdString(), std::string(e.className).substr(1));
        EXPECT_EQ(w->windowTitle(), e.caption);
        EXPECT_EQ(w->ColourOffset, e.colourOffset);
        EXPECT_EQ(w->size(), e.size);
        EXPECT_TRUE(w->StartPending);
        EXPECT_EQ(w->IterBuffer.Get(383, 511), 28);
        EXPECT_EQ(w->Palette, colour::DefaultVgaPalette);
        ASSERT_NE(w->Entry, nullptr);
        EXPECT_EQ(w->Entry, fractals::FindWindow(w->objectName().toStdString().c_str()));
        EXPECT_EQ(w->ValueFunction, e.function);
        EXPECT_EQ(w->ViewRegion, w->Entry->region.Make());
        ASSERT_NE(w->CurrentPointSet(), nullptr);
    }
}

TEST(WindowStructure, PointSetWindowsStartOnTheCommonRegionWithTheirSetClassAndConstant)
{
    TFormJU6 ju;
    auto* set = dynamic_cast<const engine::TJUSet*>(ju.CurrentPointSet());
    ASSERT_NE(set, nullptr);
    EXPECT_EQ(set->JuliaConst.X, -0.7453L);
    EXPECT_EQ(set->JuliaConst.Y, 0.11301L);
    EXPECT_EQ(set->JuliaConst.Z, 0.0L);
    EXPECT_EQ(ju.ValueFunction, &engine::CountJuliaSet);
    engine::Region common;
    common.SetRegionBySize(-1.25L, 2.5L, -1.12L, 2.22L);
    EXPECT_EQ(ju.ViewRegion, common);

    TFormTamo2 tamo;
    EXPECT_NE(dynamic_cast<const engine::TTamo2Set*>(tamo.CurrentPointSet()), nullptr);
    EXPECT_EQ(tamo.ValueFunction, &engine::CountTamoSet);
    EXPECT_EQ(tamo.ViewRegion, common);

    TForm1 mandel;
    EXPECT_NE(dynamic_cast<const engine::TTamo1Set*>(mandel.CurrentPointSet()), nullptr);
    EXPECT_EQ(mandel.ValueFunction, &engine::LevelSetKernel);
    engine::Region opening;
    opening.SetRegionByCorners(-0.7672010892L, -0.7619674784L, -0.1003981051L, -0.090500188L);
    EXPECT_EQ(mandel.ViewRegion, opening);
}

TEST(WindowStructure, RandomSetWindowsAddATypesBoxBetweenPositionAndView)
{
    TFormRN4 w;
    EXPECT_EQ(w.GroupTypes->title(), "Types");
    EXPECT_EQ(w.GroupTypes->maximumWidth(), 84);
    EXPECT_EQ(DockOrder(w), (std::vector<QWidget*>{w.GroupBox4, w.GroupTypes, w.GroupBox1, w.GroupBox2}));
    for (int k = 0; k < 6; ++k) {
        QToolButton* b = w.TypeButtons()[k];
        EXPECT_EQ(b->objectName(), QString("SBAL%1").arg(k + 1));
        EXPECT_EQ(b->parentWidget(), w.GroupTypes);
        EXPECT_EQ(b->geometry(), QRect(8, 16 + 56 * k, 73, 57));
    }
    const QList<QAction*> view = w.MMView->actions();
    ASSERT_EQ(view.size(), 5);
    EXPECT_EQ(view[3], w.MMTypes);
    EXPECT_EQ(w.MMTypes->objectName(), "MMTypes");
    EXPECT_EQ(w.MMTypes->text(), "&Types");
    EXPECT_TRUE(w.MMTypes->isChecked());

    EXPECT_EQ(w.ValueFunction, &engine::RN4Kernel1);
    engine::Region opening;
    opening.SetRegionByCorners(-23, 23, -23, 23);
    EXPECT_EQ(w.ViewRegion, opening);
    EXPECT_NE(dynamic_cast<const engine::TTamo1Set*>(w.CurrentPointSet()), nullptr);
}
