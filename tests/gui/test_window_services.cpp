// The seam between a fractal window and the application: each command's request reaches the installed services.
#include <gtest/gtest.h>

#include <optional>
#include <utility>
#include <vector>

#include <QAction>
#include <QFile>

#include "window/FormJU.h"
#include "window/Services.h"
#include "window/UrlLink.h"
#include "BrowserRecorder.h"
#include "WindowTestSupport.h"

using namespace guitest;

namespace {

// Records every request and answers with what the test chose.
class RecordingServices : public window::Services {
public:
    void ShowHelp(window::HelpWindow which) override { help.push_back(which); }
    QString PageAddress(window::SitePage page) const override
    {
        pages.push_back(page);
        return QStringLiteral("https://example.invalid/page%1").arg(static_cast<int>(page));
    }
    std::optional<window::PovOptions> ChoosePovOptions() override
    {
        ++povAsked;
        return povAnswer;
    }

    std::vector<window::HelpWindow> help;
    mutable std::vector<window::SitePage> pages;
    int povAsked = 0;
    std::optional<window::PovOptions> povAnswer;
};

class WindowServices : public OutputTest {
protected:
    void SetUp() override
    {
        OutputTest::SetUp();
        window::InstallServices(&services);
        Answer(QString()); // any file dialog is cancelled and recorded in `asked`
    }
    void TearDown() override
    {
        window::InstallServices(nullptr);
        OutputTest::TearDown();
    }

    RecordingServices services;
    TFormJU4 w; // built on its own: no application windows exist
    LookupOverride noBrowser{[] { return QString(); }};
};

} // namespace

TEST_F(WindowServices, HelpItemsAskForTheirWindow)
{
    using window::HelpWindow;
    const std::vector<std::pair<QAction*, HelpWindow>> items = {
        {w.MMOver, HelpWindow::Overview},        {w.MMGettingStarted, HelpWindow::GettingStarted},
        {w.MMTheViewBox, HelpWindow::ViewBox},   {w.MMTheControlBox, HelpWindow::ControlBox},
        {w.MMThePositionBox, HelpWindow::PositionBox}, {w.About1, HelpWindow::About}};
    for (const auto& [item, which] : items) {
        SCOPED_TRACE(item->objectName().toStdString());
        services.help.clear();
        item->trigger();
        EXPECT_EQ(services.help, std::vector<HelpWindow>{which});
    }
    EXPECT_TRUE(services.pages.empty());
    EXPECT_TRUE(messages.empty());
}

TEST_F(WindowServices, WebAndBooksItemsOpenTheAddressTheServicesGive)
{
    using window::SitePage;
    const std::vector<std::pair<QAction*, SitePage>> items = {
        {w.MMHP, SitePage::Home},          {w.MMPovLink, SitePage::PovRay},
        {w.MMMandel, SitePage::MandelSource}, {w.MM3D, SitePage::Images3D},
        {w.MMFractalsBook, SitePage::Books}, {w.MMPlanetsBook, SitePage::Books}};
    for (const auto& [item, page] : items) {
        SCOPED_TRACE(item->objectName().toStdString());
        services.pages.clear();
        item->trigger();
        EXPECT_EQ(services.pages, std::vector<SitePage>{page});
        EXPECT_EQ(w.Web->Url, QStringLiteral("https://example.invalid/page%1").arg(static_cast<int>(page)));
    }
    EXPECT_TRUE(services.help.empty());
}

TEST_F(WindowServices, PovExportWritesTheStatementsTheServicesChoseAndStopsWhenTheyDecline)
{
    services.povAnswer = std::nullopt; // cancelled, or the dialog is busy
    w.MMPov->trigger();
    EXPECT_EQ(services.povAsked, 1);
    EXPECT_TRUE(asked.empty()) << "no file is asked for after a cancel";

    services.povAnswer = window::PovOptions{"location <1, 2, 3> // test camera", "light_source { <4, 5, 6> } // test"};
    const QString scene = dir.filePath("scene.pov");
    Answer(scene);
    w.MMPov->trigger();
    EXPECT_EQ(services.povAsked, 2);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].name, "SavePOV");
    QFile file(scene);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("location <1, 2, 3> // test camera\r\n"));
    EXPECT_TRUE(text.contains("light_source { <4, 5, 6> } // test\r\n"));
    EXPECT_TRUE(QFile::exists(scene + ".tga"));
    EXPECT_TRUE(messages.empty());
}

TEST_F(WindowServices, WithoutServicesTheApplicationsCommandsDoNothing)
{
    window::InstallServices(nullptr);
    const QString before = w.Web->Url;
    for (QAction* item : {w.MMOver, w.About1, w.MMHP, w.MMPlanetsBook, w.MMPov}) {
        SCOPED_TRACE(item->objectName().toStdString());
        item->trigger();
    }
    EXPECT_EQ(w.Web->Url, before);
    EXPECT_TRUE(asked.empty());
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(services.help.empty());
    EXPECT_TRUE(services.pages.empty());
    EXPECT_EQ(services.povAsked, 0);
}
