// The POV-Ray options dialog driven through its controls: statements, persistence, cancel.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include <QLineEdit>
#include <QTest>

#include "shell/FormExport.h"

using namespace shell;

namespace {

const std::string kShellSkyLeft = "location <-500.0, 300.0, +0.0> // view from sky left";
const std::string kShellFloorLeft = "location <-320.0, 30.0, +0.0> // view from floor left";
const std::string kShellSkyRight = "location <+500.0, 300.0, +0.0> // view from sky right";
const std::string kShellFloorRight = "location <+320.0, 30.0, +0.0> // view from floor right";
const std::string kTop = "location <0.0, 300.0, +0.0> // view from top";
const std::string kHighAbove = "location <0.0, 600.0, +0.0> // view from top";
const std::string kShellLightLeft = "light_source { <-600.0, 400.0, -300.0> color MainLight } // light on left";
const std::string kShellLightRight = "light_source { <+600.0, 400.0, -300.0> color MainLight } // light on rigth";

// Opens the dialog window-modal (as exec would, without blocking the test).
void Open(TFormExport& dlg)
{
    dlg.open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
}

void TypeComboText(TFormExport& dlg, const QString& text)
{
    QLineEdit* edit = dlg.CBSkyFlor->lineEdit();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

// Picks an entry the way a user does: open the list and choose with the keys.
void ChooseComboEntry(TFormExport& dlg, int index)
{
    dlg.CBSkyFlor->setFocus();
    for (int i = 0; i < dlg.CBSkyFlor->count(); ++i) // to the first entry; Home moves the text cursor
        QTest::keyClick(dlg.CBSkyFlor, Qt::Key_Up);
    for (int i = 0; i < index; ++i)
        QTest::keyClick(dlg.CBSkyFlor, Qt::Key_Down);
}

int SaveWith(TFormExport& dlg, QRadioButton* camera, int entry, QRadioButton* light)
{
    Open(dlg);
    QTest::mouseClick(camera, Qt::LeftButton);
    ChooseComboEntry(dlg, entry);
    QTest::mouseClick(light, Qt::LeftButton);
    QTest::mouseClick(dlg.ButSave, Qt::LeftButton);
    return dlg.result();
}

} // namespace

TEST(ExportDialog, InitialStateAndPicture)
{
    TFormExport dlg;
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("POV-Ray Exporter (3D Images)"));
    EXPECT_EQ(dlg.minimumSize(), QSize(359, 249));
    EXPECT_EQ(dlg.maximumSize(), QSize(359, 249));
    EXPECT_TRUE(dlg.CameraLocation.empty());
    EXPECT_TRUE(dlg.LightSource.empty());
    EXPECT_TRUE(dlg.RbCamLeft->isChecked());
    EXPECT_FALSE(dlg.RBCamRight->isChecked());
    EXPECT_TRUE(dlg.RBLightLeft->isChecked());
    EXPECT_FALSE(dlg.RBLightRight->isChecked());
    EXPECT_TRUE(dlg.CBSkyFlor->isEditable());
    EXPECT_EQ(dlg.CBSkyFlor->currentText(), QStringLiteral("View from sky"));
    ASSERT_EQ(dlg.CBSkyFlor->count(), 4);
    EXPECT_EQ(dlg.CBSkyFlor->itemText(3), QStringLiteral("View from high above"));
    EXPECT_EQ(dlg.GbCamera->height(), 145);
    EXPECT_EQ(dlg.GBLight->height(), 56);

    // A real picture, 64 x 51, stretched over the 153 x 97 control.
    EXPECT_EQ(dlg.Image1->size(), QSize(153, 97));
    EXPECT_TRUE(dlg.Image1->hasScaledContents());
    const QImage picture = dlg.Image1->pixmap().toImage();
    ASSERT_EQ(picture.size(), QSize(64, 51));
    std::set<QRgb> colours;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            colours.insert(picture.pixel(x, y));
    EXPECT_GT(colours.size(), 8u);
}

TEST(ExportDialog, SaveGivesTheStatementOfEachChoice)
{
    TFormExport dlg;
    struct Case {
        QRadioButton* camera;
        int entry;
        QRadioButton* light;
        std::string camStatement, lightStatement;
    } cases[] = {
        {dlg.RbCamLeft, 0, dlg.RBLightLeft, kShellSkyLeft, kShellLightLeft},
        {dlg.RbCamLeft, 1, dlg.RBLightRight, kShellFloorLeft, kShellLightRight},
        {dlg.RBCamRight, 0, dlg.RBLightLeft, kShellSkyRight, kShellLightLeft},
        {dlg.RBCamRight, 1, dlg.RBLightRight, kShellFloorRight, kShellLightRight},
        {dlg.RbCamLeft, 2, dlg.RBLightLeft, kTop, kShellLightLeft},
        {dlg.RBCamRight, 2, dlg.RBLightLeft, kTop, kShellLightLeft},
        {dlg.RbCamLeft, 3, dlg.RBLightRight, kHighAbove, kShellLightRight},
        {dlg.RBCamRight, 3, dlg.RBLightRight, kHighAbove, kShellLightRight},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.camStatement);
        EXPECT_EQ(SaveWith(dlg, c.camera, c.entry, c.light), QDialog::Accepted);
        EXPECT_FALSE(dlg.isVisible());
        EXPECT_EQ(dlg.CameraLocation, c.camStatement);
        EXPECT_EQ(dlg.LightSource, c.lightStatement);
        // The two camera buttons stay one exclusive group, the light buttons another.
        EXPECT_NE(dlg.RbCamLeft->isChecked(), dlg.RBCamRight->isChecked());
        EXPECT_NE(dlg.RBLightLeft->isChecked(), dlg.RBLightRight->isChecked());
    }
}

TEST(ExportDialog, UnknownComboTextKeepsThePreviousCamera)
{
    TFormExport dlg;
    // Before any Save there is nothing to keep: the camera stays empty.
    Open(dlg);
    TypeComboText(dlg, QStringLiteral("View from space"));
    QTest::mouseClick(dlg.ButSave, Qt::LeftButton);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.CameraLocation, "");
    EXPECT_EQ(dlg.LightSource, kShellLightLeft);

    ASSERT_EQ(SaveWith(dlg, dlg.RBCamRight, 1, dlg.RBLightLeft), QDialog::Accepted);
    ASSERT_EQ(dlg.CameraLocation, kShellFloorRight);

    Open(dlg);
    TypeComboText(dlg, QStringLiteral("view from sky")); // letter case counts
    QTest::mouseClick(dlg.RBLightRight, Qt::LeftButton);
    QTest::mouseClick(dlg.ButSave, Qt::LeftButton);
    EXPECT_EQ(dlg.CameraLocation, kShellFloorRight);
    EXPECT_EQ(dlg.LightSource, kShellLightRight);
    EXPECT_EQ(dlg.CBSkyFlor->count(), 4) << "typed texts must not become entries";
}

TEST(ExportDialog, CancelAndEscapeLeaveTheStatements)
{
    TFormExport dlg;
    ASSERT_EQ(SaveWith(dlg, dlg.RbCamLeft, 1, dlg.RBLightLeft), QDialog::Accepted);

    Open(dlg);
    QTest::mouseClick(dlg.RBCamRight, Qt::LeftButton);
    QTest::mouseClick(dlg.RBLightRight, Qt::LeftButton);
    QTest::mouseClick(dlg.ButCancel, Qt::LeftButton);
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.CameraLocation, kShellFloorLeft);
    EXPECT_EQ(dlg.LightSource, kShellLightLeft);

    Open(dlg);
    ChooseComboEntry(dlg, 3);
    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.CameraLocation, kShellFloorLeft);
    EXPECT_EQ(dlg.LightSource, kShellLightLeft);
}
