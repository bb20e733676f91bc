// The windows' menus as each kind of window has them, items that run their commands, and centring at first show.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include <QAction>
#include <QGroupBox>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>

#include "shell/HelpForms.h"
#include "window/Centring.h"
#include "window/Form1.h"
#include "window/FormJU.h"
#include "window/FormRN.h"
#include "window/ParametersBox.h"
#include "ScriptedDialogs.h"

namespace {

// "name" for an item, "-" for a separator.
QStringList Names(const QMenu& menu)
{
    QStringList names;
    for (const QAction* a : menu.actions())
        names << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
    return names;
}

} // namespace

TEST(WindowMenus, EachKindOfWindowHasItsOwnItemsInTheirPlaces)
{
    const struct {
        const char* kind;
        std::function<std::unique_ptr<TFormBasicTamoSet>()> make;
        QStringList view;
        QStringList windowKeys; // the window's own items outside the menus, with their keys
    } kinds[] = {
        {"plain", [] { return std::make_unique<TFormJU2>(); },
         {"MMMinimal", "MMControl", "MMPosition", "MMFull", "-", "MMSharpPicture"}, {}},
        {"types", [] { return std::make_unique<TFormRN4>(); },
         {"MMMinimal", "MMControl", "MMPosition", "MMTypes", "MMFull", "-", "MMSharpPicture"}, {}},
        {"Julia explorer", [] { return std::make_unique<TForm1>(); },
         {"MMMinimal", "MMControl", "MMPosition", "MMFull", "-", "MMSharpPicture", "MMJuliaPreview"},
         {"MMJuliaSetOfThisPoint=J"}},
    };
    for (const auto& k : kinds) {
        SCOPED_TRACE(k.kind);
        const std::unique_ptr<TFormBasicTamoSet> w = k.make();
        EXPECT_EQ(Names(*w->MMView), k.view);
        QStringList keys;
        for (const QAction* a : w->actions())
            keys << a->objectName() + "=" + a->shortcut().toString();
        EXPECT_EQ(keys, k.windowKeys);
        // The other menus are the same for every kind.
        EXPECT_EQ(Names(*w->MMOptions), QStringList({"MMRightControl", "MMLeftPosition", "-", "MMLoadPalette",
                                                     "MMSavePalette", "MMParameters"}));
        EXPECT_EQ(w->MMenu->actions().size(), 8);
        for (const QAction* a : w->MMView->actions()) {
            const bool checkable = a->objectName() != "MMMinimal" && a->objectName() != "MMFull" && !a->isSeparator();
            EXPECT_EQ(a->isCheckable(), checkable) << a->objectName().toStdString();
        }
        // What waits for the first calculation or the history.
        for (const char* waiting : {"MMZoomMovie", "MMBack", "MMForward", "MMParameters"})
            EXPECT_FALSE(w->MenuAction(waiting)->isEnabled()) << waiting;
        EXPECT_EQ(w->MenuAction("MMNoSuchItem"), nullptr);
    }
}

TEST(WindowMenus, TriggeredItemsRunTheirCommands)
{
    auto& dialogs = testseam::Dialogs();
    QStringList asked; // the file dialogs and error messages shown
    dialogs.saveFile = [&](const SaveDialogSettings& s) {
        asked << s.name;
        return QString();
    };
    dialogs.error = [&](const QString& message) { asked << message; };

    TForm1 julia;
    TFormRN4 types;
    const struct {
        TFormBasicTamoSet* window;
        const char* item;
        std::function<bool()> ran;
    } items[] = {
        {&types, "MMMinimal", [&] { return types.GroupBox2->isHidden() && types.GroupTypes->isHidden(); }},
        {&types, "MMFull", [&] { return !types.GroupBox4->isHidden() && types.MMTypes->isChecked(); }},
        {&types, "MMTypes", [&] { return types.GroupTypes->isHidden() && !types.MMTypes->isChecked(); }},
        {&types, "MMSavePalette", [&] { return asked.contains("SavePalette"); }},
        {&julia, "MMSaveView", [&] { return asked.contains("SaveView"); }},
        {&julia, "MMParameters", [&] { return julia.findChild<window::ParametersBox*>() != nullptr; }},
        {&julia, "MMJuliaSetOfThisPoint", [&] { return asked.filter("Point at the picture first").size() == 1; }},
    };
    for (const auto& i : items) {
        QAction* a = i.window->MenuAction(i.item);
        ASSERT_NE(a, nullptr) << i.item;
        a->setEnabled(true);
        EXPECT_FALSE(i.ran()) << i.item << " before it is triggered";
        a->trigger();
        EXPECT_TRUE(i.ran()) << i.item;
    }
    dialogs.saveFile = nullptr;
    dialogs.error = nullptr;
}

TEST(Centring, TheFrameIsCentredAtTheFirstShowOnlyWhateverTheParityOfItsSize)
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    for (const QSize size : {QSize(300, 200), QSize(301, 201), QSize(300, 201)}) {
        QWidget w;
        w.resize(size);
        window::CentreAtFirstShow(w);
        w.show();
        EXPECT_EQ(w.frameGeometry().center(), screen.center()) << size.width() << "x" << size.height();
        EXPECT_EQ(w.size(), size);
        // Moved by the user, hidden and shown again: it stays.
        w.move(w.pos() + QPoint(17, 9));
        const QPoint moved = w.pos();
        w.hide();
        w.show();
        EXPECT_EQ(w.pos(), moved);
    }
}

TEST(Centring, HelpWindowsAreCentredTheFirstTime)
{
    shell::TFormOver help;
    help.show();
    EXPECT_EQ(help.frameGeometry().center(), help.screen()->availableGeometry().center());
}
