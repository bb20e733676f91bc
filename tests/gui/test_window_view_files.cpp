// Save View and Open View in a fractal window: the round trip and rejected files (a bad view, a picture without one).
#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QImage>
#include <QSlider>
#include <QToolButton>

#include "window/FormJU.h"
#include "WindowTestSupport.h"
#include "ScriptedDialogs.h"

using namespace guitest;

namespace {

class ViewFiles : public OutputTest {
protected:
    void TearDown() override
    {
        testseam::Dialogs().openFile = nullptr;
        OutputTest::TearDown();
    }
    void OpenWith(const QString& name)
    {
        testseam::Dialogs().openFile = [name](const SaveDialogSettings&) { return name; };
    }
};

} // namespace

TEST_F(ViewFiles, ASavedViewOpensAgainWithItsRegionColoursAndPicture)
{
    TFormJU4 w;
    ASSERT_TRUE(OpenWindow(w));
    ASSERT_TRUE(WaitForCalculation(w));
    w.TB1->setValue(7);
    w.TBR->setValue(10);
    const engine::RegionValues saved = w.ViewRegion.Values();
    const std::vector<std::uint8_t> buffer = w.IterBuffer.Snapshot();
    const QString path = dir.filePath("v.qview");
    Answer(path);
    w.MMSaveView->trigger();
    ASSERT_TRUE(messages.empty()) << messages.front().toStdString();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].name, "SaveView");
    ASSERT_TRUE(QFile::exists(path));

    QTest::mouseClick(w.BitBtnZIN, Qt::LeftButton);
    ASSERT_TRUE(WaitForCalculation(w));
    w.TB1->setValue(0);
    w.TBR->setValue(0);
    ASSERT_NE(w.ViewRegion.Values(), saved);

    OpenWith(path);
    w.MMOpenView->trigger();
    ASSERT_TRUE(messages.empty()) << messages.front().toStdString();
    ASSERT_TRUE(WaitForCalculation(w));
    EXPECT_EQ(w.ViewRegion.Values(), saved);
    EXPECT_EQ(w.TB1->value(), 7);
    EXPECT_EQ(w.TBR->value(), 10);
    EXPECT_EQ(w.IterBuffer.Snapshot(), buffer);
    EXPECT_EQ(w.History.Size(), 3u) << "the opened view is recorded";
    EXPECT_TRUE(w.MMBack->isEnabled());
}

TEST_F(ViewFiles, ABadFileIsReportedWithItsNameAndChangesNothing)
{
    TFormJU4 w;
    ASSERT_TRUE(OpenWindow(w));
    ASSERT_TRUE(WaitForCalculation(w));
    const engine::RegionValues before = w.ViewRegion.Values();
    const std::vector<std::uint8_t> buffer = w.IterBuffer.Snapshot();
    const QString path = dir.filePath("bad.qview");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("this is not a view\r\n");
    }
    // A PNG some other program wrote carries no view.
    const QString plain = dir.filePath("plain.png");
    ASSERT_TRUE(QImage(8, 8, QImage::Format_RGB32).save(plain));
    const struct {
        QString path;
        const char* name;
        const char* where; // what the message points at besides the name
    } cases[] = {{path, "bad.qview", "line"}, {plain, "plain.png", "no Quillon view"}};
    for (const auto& c : cases) {
        messages.clear();
        OpenWith(c.path);
        w.MMOpenView->trigger();
        ASSERT_EQ(messages.size(), 1u) << c.name;
        EXPECT_TRUE(messages[0].contains(c.name)) << messages[0].toStdString();
        EXPECT_TRUE(messages[0].contains(c.where)) << messages[0].toStdString();
        EXPECT_FALSE(w.IsCalculating());
        EXPECT_EQ(w.ViewRegion.Values(), before);
        EXPECT_EQ(w.IterBuffer.Snapshot(), buffer);
        EXPECT_EQ(w.History.Size(), 1u);
    }
}
