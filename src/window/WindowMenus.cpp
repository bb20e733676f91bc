// The fractal window's menus: every command with its caption, handler and keys in one table.
#include "window/FormBasicTamoSet.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QVariant>

#include "window/ErrorReport.h"
#include "window/FormExtendedBasic.h"
#include "window/JuliaExplorer.h"
#include "window/KeyHints.h"
#include "window/PictureView.h"
#include "window/WindowParameters.h"

namespace {

using W = TFormBasicTamoSet;
using Group = TFormBasicTamoSet::MenuGroup;

enum class Kind { Menu, Item, Separator };

enum Flags : unsigned {
    None = 0,
    Checkable = 1,
    Checked = 2,
    Disabled = 4, // until the window's state enables it
    PictureKey = 8, // its key works while the picture has the focus (and a modal dialog blocks none)
};

struct MenuRow {
    Group group;
    Kind kind;
    const char* menu; // the menu it belongs to; none: a menu of the bar, or an item of the window itself
    const char* name; // objectName; a separator may have none
    const char* caption;
    void (*handler)(W&); // run when triggered; none: its owner follows the item's check mark
    int key = 0; // a combination of Qt::Key and modifiers
    unsigned flags = None;
    const char* tip = nullptr;
    QMenu* FormBasicTamoSetUi::*menuField = nullptr;
    QAction* FormBasicTamoSetUi::*itemField = nullptr;
};

template <void (W::*Handler)()>
void Call(W& w)
{
    (w.*Handler)();
}

constexpr int Combined(QKeyCombination c) { return c.toCombined(); }

using U = FormBasicTamoSetUi;
constexpr Group kAll = Group::Window;

// The order of the rows is the order of the menus and of their items; an
// item of a group a window adds later goes before the next row's item.
const MenuRow kRows[] = {
    {kAll, Kind::Menu, nullptr, "MMFile", "&File", nullptr, 0, None, nullptr, &U::MMFile},
    {kAll, Kind::Item, "MMFile", "MMSave", "&Save", Call<&W::BitBtnSaveClick>, 0, None, nullptr, nullptr, &U::MMSave},
    {kAll, Kind::Item, "MMFile", "MMPov", "Export to 3D &POV-Ray file...", Call<&W::MMPovClick>, 0, None, nullptr,
     nullptr, &U::MMPov},
    {kAll, Kind::Item, "MMFile", "MMOpenView", "Open View…", Call<&W::MMOpenViewClick>, 0, None, nullptr, nullptr,
     &U::MMOpenView},
    {kAll, Kind::Item, "MMFile", "MMSaveView", "Save View…", Call<&W::MMSaveViewClick>, 0, None, nullptr, nullptr,
     &U::MMSaveView},
    {kAll, Kind::Item, "MMFile", "MMSavePictureView", "Save Picture with View…", Call<&W::MMSavePictureViewClick>, 0,
     None, nullptr, nullptr, &U::MMSavePictureView},
    {kAll, Kind::Item, "MMFile", "MMRenderPicture", "Render Picture…", Call<&W::MMRenderPictureClick>, 0, None,
     nullptr, nullptr, &U::MMRenderPicture},
    // A movie needs two views of the history.
    {kAll, Kind::Item, "MMFile", "MMZoomMovie", "Make Zoom Movie…", Call<&W::MMZoomMovieClick>, 0, Disabled, nullptr,
     nullptr, &U::MMZoomMovie},
    {kAll, Kind::Separator, "MMFile", nullptr, nullptr, nullptr},
    {kAll, Kind::Item, "MMFile", "MMClose", "&Close", [](W& w) { w.close(); }, 0, None, nullptr, nullptr, &U::MMClose},

    {kAll, Kind::Menu, nullptr, "Books1", "&Books", nullptr, 0, None, nullptr, &U::Books1},
    {kAll, Kind::Item, "Books1", "MMFractalsBook", "Fractals", Call<&W::MMFractalsBookClick>, 0, None, nullptr,
     nullptr, &U::MMFractalsBook},
    {kAll, Kind::Separator, "Books1", "N5", nullptr, nullptr},
    {kAll, Kind::Item, "Books1", "MMPlanetsBook", "Planets", Call<&W::MMPlanetsBookClick>, 0, None, nullptr, nullptr,
     &U::MMPlanetsBook},

    {kAll, Kind::Menu, nullptr, "MMEdit", "&Edit", nullptr, 0, None, nullptr, &U::MMEdit},
    {kAll, Kind::Item, "MMEdit", "MMCopytoclipboard", "&Copy to clipboard", Call<&W::MMCopytoclipboardClick>, 0,
     None, nullptr, nullptr, &U::MMCopytoclipboard},

    {kAll, Kind::Menu, nullptr, "MMMove", "&Move", nullptr, 0, None, nullptr, &U::MMMove},
    {kAll, Kind::Item, "MMMove", "MMUp", "&Up", Call<&W::BitBtnUpClick>, Qt::Key_Up, PictureKey, nullptr, nullptr,
     &U::MMUp},
    {kAll, Kind::Item, "MMMove", "MMDown", "&Down", Call<&W::BitBtnDownClick>, Qt::Key_Down, PictureKey, nullptr,
     nullptr, &U::MMDown},
    {kAll, Kind::Item, "MMMove", "MMLeft", "&Left", Call<&W::BitBtnLeftClick>, Qt::Key_Left, PictureKey, nullptr,
     nullptr, &U::MMLeft},
    {kAll, Kind::Item, "MMMove", "MMRight", "&Right", Call<&W::BitBtnRightClick>, Qt::Key_Right, PictureKey,
     nullptr, nullptr, &U::MMRight},
    {kAll, Kind::Separator, "MMMove", nullptr, nullptr, nullptr},
    {kAll, Kind::Item, "MMMove", "MMZoomIn", "Zoom In", Call<&W::BitBtnZINClick>, Qt::Key_Plus, PictureKey, nullptr,
     nullptr, &U::MMZoomIn},
    {kAll, Kind::Item, "MMMove", "MMZoomOut", "Zoom Out", Call<&W::BitBtnZOUTClick>, Qt::Key_Minus, PictureKey,
     nullptr, nullptr, &U::MMZoomOut},
    {kAll, Kind::Separator, "MMMove", nullptr, nullptr, nullptr},
    // Enabled once the history has somewhere to go.
    {kAll, Kind::Item, "MMMove", "MMBack", "Back", Call<&W::MMBackClick>, Combined(Qt::ALT | Qt::Key_Left), Disabled,
     nullptr, nullptr, &U::MMBack},
    {kAll, Kind::Item, "MMMove", "MMForward", "Forward", Call<&W::MMForwardClick>, Combined(Qt::ALT | Qt::Key_Right),
     Disabled, nullptr, nullptr, &U::MMForward},
    {kAll, Kind::Item, "MMMove", "MMHome", "Home",
     [](W& w) {
         if (auto* hints = w.findChild<window::KeyHints*>())
             hints->MMHomeClick();
     },
     Qt::Key_Home, PictureKey},

    {kAll, Kind::Menu, nullptr, "MMView", "&View", nullptr, 0, None, nullptr, &U::MMView},
    {kAll, Kind::Item, "MMView", "MMMinimal", "&Minimal", Call<&W::MMMinimalClick>, 0, None, nullptr, nullptr,
     &U::MMMinimal},
    {kAll, Kind::Item, "MMView", "MMControl", "&Control", Call<&W::MMControlClick>, 0, Checkable, nullptr, nullptr,
     &U::MMControl},
    {kAll, Kind::Item, "MMView", "MMPosition", "&Position", Call<&W::MMPositionClick>, 0, Checkable, nullptr, nullptr,
     &U::MMPosition},
    {Group::Types, Kind::Item, "MMView", "MMTypes", "&Types",
     [](W& w) {
         if (auto* types = qobject_cast<TFormExtendedBasic*>(&w))
             types->MMTypesClick();
     },
     0, Checkable | Checked},
    {kAll, Kind::Item, "MMView", "MMFull", "&Full", Call<&W::MMFullClick>, 0, None, nullptr, nullptr, &U::MMFull},
    {kAll, Kind::Separator, "MMView", nullptr, nullptr, nullptr},
    // SharpPicture follows the check mark, whoever sets it.
    {kAll, Kind::Item, "MMView", "MMSharpPicture", "Sharp Picture", nullptr, 0, Checkable,
     "Draw the picture at the view's own size, computed exactly"},
    // JuliaExplorer shows and hides its preview with the check mark.
    {Group::JuliaExplorer, Kind::Item, "MMView", "MMJuliaPreview", "Julia Preview", nullptr, 0, Checkable},

    {kAll, Kind::Menu, nullptr, "MMOptions", "&Options", nullptr, 0, None, nullptr, &U::MMOptions},
    {kAll, Kind::Item, "MMOptions", "MMRightControl", "Right Control", Call<&W::MMRightControlClick>, 0,
     Checkable | Checked, nullptr, nullptr, &U::MMRightControl},
    {kAll, Kind::Item, "MMOptions", "MMLeftPosition", "Left Position", Call<&W::MMLeftPositionClick>, 0,
     Checkable | Checked, nullptr, nullptr, &U::MMLeftPosition},
    {kAll, Kind::Separator, "MMOptions", nullptr, nullptr, nullptr},
    {kAll, Kind::Item, "MMOptions", "MMLoadPalette", "Load Palette…", Call<&W::MMLoadPaletteClick>, 0, None, nullptr,
     nullptr, &U::MMLoadPalette},
    {kAll, Kind::Item, "MMOptions", "MMSavePalette", "Save Palette…", Call<&W::MMSavePaletteClick>, 0, None, nullptr,
     nullptr, &U::MMSavePalette},
    // Enabled after the first calculation, for formulas with parameters.
    {kAll, Kind::Item, "MMOptions", "MMParameters", "Parameters…",
     [](W& w) {
         if (auto* parameters = window::ParametersCommand::Of(w))
             parameters->ShowBox();
     },
     0, Disabled},

    {kAll, Kind::Menu, nullptr, "MMWeb", "&Web", nullptr, 0, None, nullptr, &U::MMWeb},
    {kAll, Kind::Item, "MMWeb", "MMHP", "&Quillon Home Page", Call<&W::MMHPClick>, 0, None, nullptr, nullptr,
     &U::MMHP},
    {kAll, Kind::Item, "MMWeb", "MMPovLink", "POV-Ray Home Page", Call<&W::MMPovLinkClick>, 0, None, nullptr, nullptr,
     &U::MMPovLink},
    {kAll, Kind::Separator, "MMWeb", "N4", nullptr, nullptr},
    {kAll, Kind::Item, "MMWeb", "MMMandel", "Mandelbrot &Source", Call<&W::MMMandelClick>, 0, None, nullptr, nullptr,
     &U::MMMandel},
    {kAll, Kind::Item, "MMWeb", "MM3D", "&3D Images", Call<&W::MM3DClick>, 0, None, nullptr, nullptr, &U::MM3D},

    {kAll, Kind::Menu, nullptr, "Help1", "&Help", nullptr, 0, None, nullptr, &U::Help1},
    {kAll, Kind::Item, "Help1", "MMOver", "&Overview", Call<&W::MMOverClick>, 0, None, nullptr, nullptr, &U::MMOver},
    {kAll, Kind::Item, "Help1", "MMGettingStarted", "&Getting Started", Call<&W::MMGettingStartedClick>, 0, None,
     nullptr, nullptr, &U::MMGettingStarted},
    {kAll, Kind::Item, "Help1", "MMTheViewBox", "The &View Box", Call<&W::MMTheViewBoxClick>, 0, None, nullptr,
     nullptr, &U::MMTheViewBox},
    {kAll, Kind::Item, "Help1", "MMTheControlBox", "The &Control Box", Call<&W::MMTheControlBoxClick>, 0, None,
     nullptr, nullptr, &U::MMTheControlBox},
    {kAll, Kind::Item, "Help1", "MMThePositionBox", "The &Position Box", Call<&W::MMThePositionBoxClick>, 0, None,
     nullptr, nullptr, &U::MMThePositionBox},
    {kAll, Kind::Separator, "Help1", "N3", nullptr, nullptr},
    {kAll, Kind::Item, "Help1", "About1", "&About...", Call<&W::About1Click>, 0, None, nullptr, nullptr, &U::About1},
    {kAll, Kind::Separator, "Help1", nullptr, nullptr, nullptr},
    {kAll, Kind::Item, "Help1", "MMKeysAndMouse", "Keys and Mouse",
     [](W&) {
         if (window::Services* services = window::InstalledServices())
             services->ShowHelp(window::HelpWindow::KeysAndMouse);
     }},

    // No menu: the window's key J and the picture's context menu (JuliaExplorer).
    {Group::JuliaExplorer, Kind::Item, nullptr, "MMJuliaSetOfThisPoint", "Julia Set of This Point",
     [](W& w) {
         if (auto* explorer = w.findChild<window::JuliaExplorer*>())
             explorer->OpenAtMouse();
     },
     Qt::Key_J},
};

constexpr const char* kRowProperty = "menuRow";

// The item of a later row of the same menu that a new item goes before, or null: after the last.
QAction* Following(const QWidget& menu, std::size_t row)
{
    for (QAction* a : menu.actions())
        if (const QVariant r = a->property(kRowProperty); r.isValid() && r.toULongLong() > row)
            return a;
    return nullptr;
}

} // namespace

void TFormBasicTamoSet::BuildMenus()
{
    MMenu = menuBar();
    MMenu->setObjectName("MMenu");
    AddMenuItems(MenuGroup::Window);
}

void TFormBasicTamoSet::AddMenuItems(MenuGroup group)
{
    for (std::size_t i = 0; i < std::size(kRows); ++i) {
        const MenuRow& row = kRows[i];
        if (row.group != group)
            continue;
        if (row.kind == Kind::Menu) {
            QMenu* m = MMenu->addMenu(QString::fromUtf8(row.caption));
            m->setObjectName(row.name);
            this->*row.menuField = m;
            continue;
        }
        QWidget* owner = this;
        if (row.menu != nullptr)
            owner = MMenu->findChild<QMenu*>(row.menu);
        auto* a = new QAction(owner);
        a->setProperty(kRowProperty, static_cast<qulonglong>(i));
        if (row.name != nullptr)
            a->setObjectName(row.name);
        if (row.kind == Kind::Separator) {
            a->setSeparator(true);
        } else {
            a->setText(QString::fromUtf8(row.caption));
            a->setCheckable(row.flags & Checkable);
            a->setChecked(row.flags & Checked);
            a->setEnabled(!(row.flags & Disabled));
            if (row.tip != nullptr)
                a->setToolTip(QString::fromUtf8(row.tip));
            if (row.key != 0)
                a->setShortcut(QKeySequence(row.key));
            a->setShortcutContext(row.flags & PictureKey ? Qt::WidgetShortcut : Qt::WindowShortcut);
            if (row.handler != nullptr)
                connect(a, &QAction::triggered, this,
                        errors::GuardedSlot([this, handler = row.handler] { handler(*this); }));
        }
        if (row.itemField != nullptr)
            this->*row.itemField = a;
        owner->insertAction(Following(*owner, i), a);
    }
}

QAction* TFormBasicTamoSet::MenuAction(const char* name) const
{
    for (QAction* a : findChildren<QAction*>(QString::fromUtf8(name)))
        if (a->property(kRowProperty).isValid())
            return a;
    return nullptr;
}

void TFormBasicTamoSet::SetPictureKeys(bool on)
{
    for (std::size_t i = 0; i < std::size(kRows); ++i) {
        const MenuRow& row = kRows[i];
        if (!(row.flags & PictureKey))
            continue;
        QAction* a = MenuAction(row.name);
        if (a == nullptr)
            continue;
        if (!PB->actions().contains(a))
            PB->addAction(a);
        a->setShortcut(on ? QKeySequence(row.key) : QKeySequence());
    }
}
