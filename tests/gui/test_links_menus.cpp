// The shared windows made at start-up, and the Help, Web and Books menus of a fractal window.
#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <utility>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

#include "window/FormJU.h"
#include "shell/Application.h"
#include "shell/FormAbout.h"
#include "shell/FormExport.h"
#include "shell/HelpForms.h"
#include "shell/Site.h"
#include "window/UrlLink.h"
#include "BrowserRecorder.h"
#include "window/ErrorReport.h"
#include "WindowTestSupport.h"
#include "ScriptedDialogs.h"

using namespace guitest;

namespace {

bool IsActive(QWidget* w)
{
    return QTest::qWaitFor([w] { return QApplication::activeWindow() == w; }, 5000);
}

int VisibleTopLevelsNamed(const QString& name)
{
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name && w->isVisible())
            ++n;
    return n;
}

class SharedWindows : public ::testing::Test {
protected:
    static void SetUpTestSuite() { CreateApplicationWindows(); }
    static void TearDownTestSuite() { DestroyApplicationWindows(); }

    void SetUp() override
    {
        testseam::Dialogs().error = [this](const QString& m) { messages.push_back(m); };
        // None of these commands asks for a file; a dialog would block the test.
        testseam::Dialogs().saveFile = [](const SaveDialogSettings& settings) {
            ADD_FAILURE() << "unexpected file dialog " << settings.name.toStdString();
            return QString();
        };
    }
    void TearDown() override
    {
        testseam::Dialogs().error = nullptr;
        testseam::Dialogs().saveFile = nullptr;
        for (QWidget* w : ApplicationWindows())
            w->hide();
    }

    std::vector<QString> messages;
};

} // namespace

TEST_F(SharedWindows, StartUpMakesThe32WindowsInTheirOrderAndShowsNone)
{
    const QStringList expected = {
        "FormMain",  "Form1",    "FormTamo5", "FormTamo1", "FormTamo3",   "FormTamo4", "FormTamo2", "FormAbout",
        "FormOver",  "FormGet",  "FormPos",   "FormControl", "FormView",  "FormJU1",   "FormJU2",   "FormJU3",
        "FormJU4",   "FormJU5",  "FormJU6",   "FormJU7",   "FormJU8",     "FormJU9",   "FormJU10",  "FormJU11",
        "FormJU12",  "FormRN1",  "FormRN2",   "FormRN3",   "FormRN4",     "FormRN5",   "FormRN6",   "FormExport"};
    const std::vector<QWidget*> windows = ApplicationWindows();
    QStringList names;
    std::set<QWidget*> distinct;
    for (QWidget* w : windows) {
        names << w->objectName();
        distinct.insert(w);
        EXPECT_TRUE(w->isWindow()) << w->objectName().toStdString();
        EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
    }
    EXPECT_EQ(names, expected);
    EXPECT_EQ(distinct.size(), 32u);

    EXPECT_EQ(FormAbout->windowTitle(), "About");
    EXPECT_EQ(FormOver->windowTitle(), "Overview");
    EXPECT_EQ(FormGet->windowTitle(), "Getting Started");
    EXPECT_EQ(FormPos->windowTitle(), "The Position Box");
    EXPECT_EQ(FormControl->windowTitle(), "The Control Box");
    EXPECT_EQ(FormView->windowTitle(), "The View Box");
    EXPECT_EQ(FormExport->windowTitle(), "POV-Ray Exporter (3D Images)");

    // Every fractal window owns its own browser link, left at its default.
    std::set<window::TUrlLink*> links;
    for (TFormBasicTamoSet* w : FractalWindows()) {
        ASSERT_NE(w->Web, nullptr) << w->objectName().toStdString();
        EXPECT_EQ(w->Web->parent(), w);
        EXPECT_EQ(w->Web->UrlShowCommand, window::ssShowDefault);
        links.insert(w->Web);
    }
    EXPECT_EQ(links.size(), 24u);
}

TEST_F(SharedWindows, HelpItemsShowTheirWindowAndOnlyRaiseItWhenAlreadyOpen)
{
    TFormBasicTamoSet* w = FormJU1;
    ASSERT_TRUE(OpenWindow(*w));
    const std::vector<std::pair<QAction*, QWidget*>> items = {
        {w->MMOver, FormOver},           {w->MMGettingStarted, FormGet},  {w->MMTheViewBox, FormView},
        {w->MMTheControlBox, FormControl}, {w->MMThePositionBox, FormPos}, {w->About1, FormAbout}};
    for (const auto& [item, shown] : items) {
        SCOPED_TRACE(item->objectName().toStdString());
        item->trigger();
        EXPECT_TRUE(shown->isVisible());
        EXPECT_TRUE(IsActive(shown));
        EXPECT_FALSE(shown->isModal());
        const QRect placed = shown->geometry();

        // The fractal window comes back in front; the item raises the same window again.
        ASSERT_TRUE(OpenWindow(*w));
        item->trigger();
        EXPECT_TRUE(IsActive(shown));
        EXPECT_EQ(VisibleTopLevelsNamed(shown->objectName()), 1);
        EXPECT_EQ(shown->geometry(), placed) << "an open window is only raised, not placed again";
        shown->close(); // closing hides; the window is kept for the next time
        EXPECT_FALSE(shown->isVisible());
        EXPECT_TRUE(QApplication::topLevelWidgets().contains(shown));
    }
    EXPECT_TRUE(messages.empty());
    WaitForCalculation(*w);
}

TEST_F(SharedWindows, HelpWebAndBooksItemsStayEnabledDuringACalculation)
{
    TFormBasicTamoSet* w = FormJU2;
    ASSERT_TRUE(OpenWindow(*w));
    ASSERT_TRUE(w->IsCalculating()) << "the first activation starts the calculation";
    for (QMenu* menu : {w->Help1, w->MMWeb, w->Books1}) {
        EXPECT_TRUE(menu->menuAction()->isEnabled()) << menu->objectName().toStdString();
        for (QAction* a : menu->actions())
            EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
    }
    EXPECT_FALSE(w->MMSave->isEnabled()) << "the control group is disabled meanwhile";

    // An item used meanwhile does its work.
    w->MMTheControlBox->trigger();
    EXPECT_TRUE(FormControl->isVisible());
    EXPECT_TRUE(w->IsCalculating());
    ASSERT_TRUE(WaitForCalculation(*w));
}

TEST_F(SharedWindows, WebAndBooksItemsOpenTheirPagesInTheBrowser)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString script = WriteRecorder(dir, QStringLiteral("browser"));
    // A registered command line with a quoted placeholder and an argument after it.
    LookupOverride lookup([&] { return QStringLiteral("\"%1\" -new \"%2\" -after").arg(script, QStringLiteral("%1")); });

    TFormBasicTamoSet* w = FormJU3;
    const auto address = [](shell::SitePage p) { return shell::SiteUrl(p).toString(QUrl::FullyEncoded); };
    const std::vector<std::pair<QAction*, QString>> items = {
        {w->MMHP, address(shell::SitePage::Home)},
        {w->MMPovLink, address(shell::SitePage::PovRay)},
        {w->MMMandel, address(shell::SitePage::MandelSource)},
        {w->MM3D, address(shell::SitePage::Images3D)},
        {w->MMFractalsBook, address(shell::SitePage::Books)},
        {w->MMPlanetsBook, address(shell::SitePage::Books)}};
    std::set<QString> distinct;
    for (const auto& [item, expected] : items) {
        SCOPED_TRACE(item->objectName().toStdString());
        item->trigger();
        EXPECT_EQ(w->Web->Url.toStdString(), expected.toStdString());
        EXPECT_EQ(RecordedArguments(script).join(" | ").toStdString(), ("-new | " + expected).toStdString());
        distinct.insert(expected);
    }
    EXPECT_EQ(distinct.size(), 5u) << "Fractals and Planets share the books page, the others differ";
    EXPECT_EQ(address(shell::SitePage::PovRay), QStringLiteral("http://www.povray.org/"));
    // Our own pages ship with the program and exist where the addresses point.
    for (shell::SitePage p : {shell::SitePage::Home, shell::SitePage::MandelSource, shell::SitePage::Images3D,
                              shell::SitePage::Books})
        EXPECT_TRUE(QFileInfo(shell::SiteUrl(p).toLocalFile()).isFile()) << address(p).toStdString();
    EXPECT_TRUE(messages.empty());
}

TEST_F(SharedWindows, ABrowserThatCannotStartIsReportedAndNothingElseChanges)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString missing = dir.filePath(QStringLiteral("no-such-browser"));
    LookupOverride lookup([&] { return QStringLiteral("\"%1\" \"%2\"").arg(missing, QStringLiteral("%1")); });

    TFormBasicTamoSet* w = FormJU5;
    for (QAction* item : {w->MMHP, w->MMPlanetsBook}) {
        messages.clear();
        item->trigger(); // must not throw out of the menu command
        ASSERT_EQ(messages.size(), 1u) << item->objectName().toStdString();
        EXPECT_EQ(messages[0], QStringLiteral("Couldn't launch default browser"));
        EXPECT_TRUE(item->isEnabled());
    }
    EXPECT_FALSE(QFileInfo::exists(missing));

    // Without any browser registered the items do nothing and say nothing.
    messages.clear();
    LookupOverride none([] { return QString(); });
    w->MM3D->trigger();
    EXPECT_TRUE(messages.empty());
}
