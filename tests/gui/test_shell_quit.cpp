// Quitting while a window makes a picture or a movie: the question, Cancel keeps everything, Quit stops the jobs and leaves no file.
#include <gtest/gtest.h>

#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "window/FormJU.h"
#include "shell/Application.h"
#include "shell/FormMain.h"
#include "window/LongJobs.h"
#include "window/RenderPictureDialog.h"
#include "ModalDialogs.h"
#include "WindowTestSupport.h"

using namespace guitest;

TEST(LauncherQuitText, NamesWhatIsBeingMadeAndHowMany)
{
    const struct {
        int pictures, movies;
        const char* text;
    } cases[] = {
        {1, 0, "A picture is still being made. Stop it and quit?"},
        {0, 1, "A movie is still being made. Stop it and quit?"},
        {2, 0, "2 pictures are still being made. Stop them and quit?"},
        {1, 1, "A picture and a movie are still being made. Stop them and quit?"},
        {3, 2, "3 pictures and 2 movies are still being made. Stop them and quit?"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StopJobsQuestion(c.pictures, c.movies).toStdString(), c.text);
}

namespace {

class LauncherQuit : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        CreateApplicationWindows();
        FormMain->show();
        testseam::Dialogs().error = [this](const QString& m) { messages.push_back(m); };
    }
    void TearDown() override
    {
        testseam::Dialogs().error = nullptr;
        DestroyApplicationWindows();
    }

    bool JobRunning() const { return FormJU4->CurrentLongJob() && FormJU4->CurrentLongJob()->Running(); }

    // A render far longer than the test: it is still running when the launcher closes.
    void StartLongRender()
    {
        ASSERT_TRUE(OpenWindow(*FormJU4));
        ASSERT_TRUE(WaitForCalculation(*FormJU4));
        window::PictureChoice choice;
        choice.width = 8000;
        choice.height = 6000;
        choice.supersample = 4;
        choice.path = dir.filePath("poster.png");
        FormJU4->StartRenderPicture(choice);
        ASSERT_TRUE(JobRunning());
    }

    // Closes the launcher as the title bar does, answering the question with `button`.
    QString CloseAnswering(const char* button)
    {
        auto text = std::make_shared<QString>();
        testsupport::WhenModal<QMessageBox>([text, button](QMessageBox& box) {
            *text = box.text();
            if (auto* b = box.findChild<QPushButton*>(button))
                b->click();
            else
                box.button(QMessageBox::Cancel)->click();
        });
        FormMain->close();
        return *text;
    }

    QStringList Files() const { return QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot); }

    QTemporaryDir dir;
    std::vector<QString> messages;
};

} // namespace

TEST_F(LauncherQuit, CancelKeepsTheLauncherAndTheJobQuitStopsItWithoutAFile)
{
    StartLongRender();
    QSignalSpy closed(FormMain, &TFormMain::Closed);

    EXPECT_EQ(CloseAnswering("Cancel").toStdString(), "A picture is still being made. Stop it and quit?");
    EXPECT_TRUE(FormMain->isVisible());
    EXPECT_TRUE(JobRunning()) << "Cancel leaves the job running";
    EXPECT_EQ(closed.count(), 0);
    EXPECT_FALSE(FormJU4->windowTitle().endsWith(" Closing..."));

    EXPECT_EQ(CloseAnswering("StopJobsQuit").toStdString(), "A picture is still being made. Stop it and quit?");
    EXPECT_FALSE(JobRunning()) << "Quit stops the job before the application ends";
    EXPECT_EQ(closed.count(), 1);
    EXPECT_TRUE(FormJU4->windowTitle().endsWith(" Closing..."));
    EXPECT_TRUE(Files().isEmpty()) << Files().join(' ').toStdString();
    EXPECT_TRUE(messages.empty()) << "a cancelled job is no failure";
}

TEST_F(LauncherQuit, NoJobNoQuestion)
{
    QSignalSpy closed(FormMain, &TFormMain::Closed);
    bool asked = false;
    testsupport::WhenModal<QMessageBox>([&asked](QMessageBox& box) {
        asked = true;
        box.reject();
    }, 300);
    FormMain->close();
    EXPECT_EQ(closed.count(), 1);
    Pump(350);
    EXPECT_FALSE(asked);
}
