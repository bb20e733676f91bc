// The POV-Ray export command of a fractal window, driven through the shared options dialog.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "window/FormJU.h"
#include "shell/Application.h"
#include "shell/FormExport.h"
#include "window/ErrorReport.h"
#include "window/PictureView.h"
#include "ModalDialogs.h"
#include "WindowTestSupport.h"

using namespace guitest;
using shell::TFormExport;

namespace {

const QByteArray kSkyLeft = "location <-500.0, 300.0, +0.0> // view from sky left";
const QByteArray kFloorRight = "location <+320.0, 30.0, +0.0> // view from floor right";
const QByteArray kLightLeft = "light_source { <-600.0, 400.0, -300.0> color MainLight } // light on left";
const QByteArray kLightRight = "light_source { <+600.0, 400.0, -300.0> color MainLight } // light on rigth";

// Picks a list entry the way a user does: focus the box and move with the keys.
void ChooseEntry(TFormExport& d, int index)
{
    d.CBSkyFlor->setFocus();
    for (int i = 0; i < d.CBSkyFlor->count(); ++i)
        QTest::keyClick(d.CBSkyFlor, Qt::Key_Up);
    for (int i = 0; i < index; ++i)
        QTest::keyClick(d.CBSkyFlor, Qt::Key_Down);
}

void TypeText(TFormExport& d, const QString& text)
{
    QLineEdit* edit = d.CBSkyFlor->lineEdit();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The scene's lines; every line, the last included, ends in CR LF.
QList<QByteArray> SceneLines(const QString& path)
{
    QList<QByteArray> lines = ReadAll(path).split('\n');
    if (lines.isEmpty() || !lines.last().isEmpty())
        return {"<no line end after the last line>"};
    lines.removeLast();
    for (QByteArray& l : lines) {
        if (!l.endsWith('\r'))
            return {"<a line without CR>"};
        l.chop(1);
    }
    return lines;
}

QByteArray TgaLine(const QString& heightImage) { return "   tga \"" + QFile::encodeName(heightImage) + "\""; }

QByteArray Bytes(const std::vector<std::uint8_t>& v)
{
    return QByteArray(reinterpret_cast<const char*>(v.data()), static_cast<qsizetype>(v.size()));
}

class PovExport : public OutputTest {
protected:
    static void SetUpTestSuite()
    {
        CreateApplicationWindows();
        window = FormJU4;
        ASSERT_TRUE(OpenWindow(*window));
        ASSERT_TRUE(WaitForCalculation(*window));
    }
    static void TearDownTestSuite()
    {
        DestroyApplicationWindows();
        window = nullptr;
    }

    void WhenAsked() override { calculatingWhenAsked.push_back(window->IsCalculating()); }

    // The export command with the options chosen by `choose` and "Save" pressed.
    void Export(const QString& name, const std::function<void(TFormExport&)>& choose)
    {
        Answer(name);
        testsupport::WhenModal<TFormExport>([choose](TFormExport& d) {
            choose(d);
            QTest::mouseClick(d.ButSave, Qt::LeftButton);
        });
        window->MMPov->trigger();
    }

    static TFormBasicTamoSet* window;
    std::vector<bool> calculatingWhenAsked;
};

TFormBasicTamoSet* PovExport::window = nullptr;

} // namespace

TEST_F(PovExport, DialogChoicesReachTheSceneAndTheHeightImageHoldsTheValues)
{
    // The height image carries iteration values, not the colours shown.
    window->TB1->setValue(17);
    const std::vector<std::uint8_t> values = window->IterBuffer.Snapshot();

    Export(dir.filePath("julia"), [](TFormExport& d) {
        QTest::mouseClick(d.RbCamLeft, Qt::LeftButton);
        ChooseEntry(d, 0); // "View from sky"
        QTest::mouseClick(d.RBLightLeft, Qt::LeftButton);
    });
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].name, "SavePOV");
    EXPECT_EQ(asked[0].filter, "POV-Ray file (*.pov)");
    EXPECT_TRUE(asked[0].title.isEmpty());
    EXPECT_TRUE(asked[0].initialName.isEmpty());
    ASSERT_TRUE(messages.empty()) << messages[0].toStdString();
    EXPECT_EQ(Files(), QStringList({"julia.pov", "julia.pov.tga"}));

    const QString scene1 = dir.filePath("julia.pov");
    const QList<QByteArray> first = SceneLines(scene1);
    ASSERT_EQ(first.size(), 42) << first.value(0).toStdString();
    EXPECT_EQ(first[7], kSkyLeft);
    EXPECT_EQ(first[22], kLightLeft);
    EXPECT_EQ(first[27], TgaLine(scene1 + ".tga"));

    const QByteArray tga = ReadAll(scene1 + ".tga");
    ASSERT_EQ(tga.size(), 787218);
    EXPECT_EQ(tga.mid(12, 4), QByteArray("\x00\x04\x00\x03", 4)) << "1024 x 768";
    EXPECT_EQ(tga.mid(786), Bytes(values));

    // Right camera from the floor, right light; a name already holding ".POV" is kept.
    Export(dir.filePath("second.POV"), [](TFormExport& d) {
        QTest::mouseClick(d.RBCamRight, Qt::LeftButton);
        ChooseEntry(d, 1); // "View from floor"
        QTest::mouseClick(d.RBLightRight, Qt::LeftButton);
    });
    ASSERT_TRUE(messages.empty()) << messages[0].toStdString();
    const QString scene2 = dir.filePath("second.POV");
    const QList<QByteArray> second = SceneLines(scene2);
    ASSERT_EQ(second.size(), 42);
    EXPECT_EQ(second[7], kFloorRight);
    EXPECT_EQ(second[22], kLightRight);
    EXPECT_EQ(second[27], TgaLine(scene2 + ".tga"));
    EXPECT_EQ(ReadAll(scene2 + ".tga"), tga);

    // A text matching no entry keeps the previous camera statement.
    Export(dir.filePath("third"), [](TFormExport& d) {
        TypeText(d, "View from Sky");
        QTest::mouseClick(d.RBLightLeft, Qt::LeftButton);
    });
    ASSERT_TRUE(messages.empty()) << messages[0].toStdString();
    const QList<QByteArray> third = SceneLines(dir.filePath("third.pov"));
    ASSERT_EQ(third.size(), 42);
    EXPECT_EQ(third[7], kFloorRight);
    EXPECT_EQ(third[22], kLightLeft);

    // Only the camera, light and file name lines depend on the export.
    for (int i = 0; i < 42; ++i)
        if (i != 7 && i != 22 && i != 27) {
            EXPECT_EQ(first[i], second[i]) << "line " << i + 1;
            EXPECT_EQ(first[i], third[i]) << "line " << i + 1;
        }
    EXPECT_EQ(asked.size(), 3u);

    window->TB1->setValue(0);
    FormExport->CBSkyFlor->setEditText("View from sky");
}

TEST_F(PovExport, CancellingEitherDialogWritesNothing)
{
    const std::string camera = FormExport->CameraLocation;
    const std::vector<std::function<void(TFormExport&)>> cancels = {
        [](TFormExport& d) { QTest::mouseClick(d.ButCancel, Qt::LeftButton); },
        [](TFormExport& d) { QTest::keyClick(&d, Qt::Key_Escape); },
        [](TFormExport& d) { d.close(); }, // the close box
    };
    for (const auto& cancel : cancels) {
        Answer(dir.filePath("never"));
        testsupport::WhenModal<TFormExport>([&](TFormExport& d) {
            QTest::mouseClick(d.RBCamRight, Qt::LeftButton);
            ChooseEntry(d, 3); // "View from high above", not confirmed
            cancel(d);
        });
        window->MMPov->trigger();
        EXPECT_FALSE(FormExport->isVisible());
    }
    EXPECT_TRUE(asked.empty()) << "no file dialog after the options were cancelled";
    EXPECT_EQ(FormExport->CameraLocation, camera);

    // Options confirmed, then the file dialog cancelled.
    Export(QString(), [](TFormExport& d) { ChooseEntry(d, 2); }); // "View from top"
    EXPECT_EQ(asked.size(), 1u);
    EXPECT_EQ(FormExport->CameraLocation, "location <0.0, 300.0, +0.0> // view from top");

    EXPECT_TRUE(Files().isEmpty());
    EXPECT_TRUE(messages.empty());
}

TEST_F(PovExport, FailuresAreReportedAndLeaveTheWindowAsItWas)
{
    const QImage picture = window->PB->Picture();

    // A folder that does not exist: nothing is written.
    Export(dir.filePath("missing/scene"), [](TFormExport&) {});
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_FALSE(messages[0].isEmpty());
    EXPECT_TRUE(Files().isEmpty());
    EXPECT_EQ(window->PB->Picture(), picture);
    EXPECT_TRUE(window->MMPov->isEnabled());
    EXPECT_FALSE(window->IsCalculating());

    // The height image cannot be written: no scene file follows it.
    ASSERT_TRUE(QDir(dir.path()).mkdir("blocked.pov.tga"));
    messages.clear();
    Export(dir.filePath("blocked"), [](TFormExport&) {});
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].contains("blocked.pov.tga")) << messages[0].toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath("blocked.pov")));

    // The scene cannot be written after its height image was: that is reported too.
    ASSERT_TRUE(QDir(dir.path()).mkdir("taken.pov"));
    messages.clear();
    Export(dir.filePath("taken.pov"), [](TFormExport&) {});
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].contains("taken.pov")) << messages[0].toStdString();
    EXPECT_EQ(QFileInfo(dir.filePath("taken.pov.tga")).size(), 787218);

    EXPECT_EQ(window->PB->Picture(), picture);
}

TEST_F(PovExport, StaysAvailableDuringACalculationAndTakesEachValueOldOrNew)
{
    const std::vector<std::uint8_t> before = window->IterBuffer.Snapshot();
    const engine::RegionValues r = window->ViewRegion.Values();
    // A quarter of the view: a different picture.
    window->SetRegionByCorners(r.XStart + r.XWidth / 4, r.XStart + r.XWidth / 2, r.YStart + r.YHeight / 4,
                               r.YStart + r.YHeight / 2);
    window->StartCalculation();
    ASSERT_TRUE(window->IsCalculating());
    EXPECT_TRUE(window->MMPov->isEnabled());
    EXPECT_TRUE(window->MMFile->menuAction()->isEnabled());
    EXPECT_FALSE(window->MMSave->isEnabled());

    Export(dir.filePath("running"), [](TFormExport&) {});
    ASSERT_EQ(calculatingWhenAsked.size(), 1u);
    EXPECT_TRUE(calculatingWhenAsked[0]) << "the export ran while the calculation was going on";
    ASSERT_TRUE(messages.empty()) << messages[0].toStdString();

    ASSERT_TRUE(WaitForCalculation(*window));
    const std::vector<std::uint8_t> after = window->IterBuffer.Snapshot();
    ASSERT_NE(before, after);
    const QByteArray tga = ReadAll(dir.filePath("running.pov.tga"));
    ASSERT_EQ(tga.size(), 787218);
    std::size_t neither = 0;
    for (std::size_t i = 0; i < after.size(); ++i) {
        const auto v = static_cast<std::uint8_t>(tga[static_cast<qsizetype>(786 + i)]);
        if (v != before[i] && v != after[i])
            ++neither;
    }
    EXPECT_EQ(neither, 0u);
    EXPECT_EQ(SceneLines(dir.filePath("running.pov")).size(), 42);

    // Once finished, an export gives exactly the new values.
    Export(dir.filePath("finished"), [](TFormExport&) {});
    EXPECT_EQ(ReadAll(dir.filePath("finished.pov.tga")).mid(786), Bytes(after));
}
