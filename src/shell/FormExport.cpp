// The POV-Ray options dialog: fixed layout in client pixels; the statements come from the exporter.
#include "shell/FormExport.h"

#include <QPixmap>
#include "window/Centring.h"

#include "export/Scenes.h"
#include "fractals/Catalogue.h"
#include "shell/HelpForms.h"
#include "export/Scenes.h"
#include "window/ScreenPicture.h"

namespace shell {

namespace {

// The dialog's picture: the opening view of Julia Set 3, computed small.
QPixmap DialogPicture()
{
    const fractals::View* view = fractals::FindView("FormJU3");
    if (!view)
        return QPixmap();
    return QPixmap::fromImage(screen::RenderViewImage(*view, 64, 51));
}

} // namespace

TFormExport::TFormExport() : QDialog(nullptr)
{
    setObjectName(QStringLiteral("FormExport"));
    setWindowTitle(QStringLiteral("POV-Ray Exporter (3D Images)"));
    window::CentreAtFirstShow(*this);
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(359, 249);

    GbCamera = new QGroupBox(QStringLiteral("Camera Position"), this);
    GbCamera->setObjectName(QStringLiteral("GbCamera"));
    GbCamera->setGeometry(0, 0, 359, 145);

    Image1 = new QLabel(GbCamera);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry((359 - 153) / 2, 16, 153, 97);
    Image1->setScaledContents(true);
    Image1->setPixmap(DialogPicture());

    RbCamLeft = new QRadioButton(QStringLiteral("On Left"), GbCamera);
    RbCamLeft->setObjectName(QStringLiteral("RbCamLeft"));
    RbCamLeft->setGeometry(12, 54, 88, 20);
    RbCamLeft->setChecked(true);
    RBCamRight = new QRadioButton(QStringLiteral("On Right"), GbCamera);
    RBCamRight->setObjectName(QStringLiteral("RBCamRight"));
    RBCamRight->setGeometry(265, 54, 88, 20);

    CBSkyFlor = new QComboBox(GbCamera);
    CBSkyFlor->setObjectName(QStringLiteral("CBSkyFlor"));
    CBSkyFlor->setEditable(true);
    // Enter in the text must not grow the list: the four entries are fixed.
    CBSkyFlor->setInsertPolicy(QComboBox::NoInsert);
    CBSkyFlor->addItems({QStringLiteral("View from sky"), QStringLiteral("View from floor"),
                         QStringLiteral("View from top"), QStringLiteral("View from high above")});
    CBSkyFlor->setCurrentIndex(0);
    CBSkyFlor->setGeometry((359 - 153) / 2, 118, 153, 22);

    GBLight = new QGroupBox(QStringLiteral("Light Source Position"), this);
    GBLight->setObjectName(QStringLiteral("GBLight"));
    GBLight->setGeometry(0, 149, 359, 56);
    RBLightLeft = new QRadioButton(QStringLiteral("On Left"), GBLight);
    RBLightLeft->setObjectName(QStringLiteral("RBLightLeft"));
    RBLightLeft->setGeometry(40, 24, 100, 20);
    RBLightLeft->setChecked(true);
    RBLightRight = new QRadioButton(QStringLiteral("On Right"), GBLight);
    RBLightRight->setObjectName(QStringLiteral("RBLightRight"));
    RBLightRight->setGeometry(220, 24, 100, 20);

    ButSave = new QPushButton(QStringLiteral("Save"), this);
    ButSave->setObjectName(QStringLiteral("ButSave"));
    ButSave->setGeometry(92, 215, 75, 25);
    ButSave->setDefault(true);
    connect(ButSave, &QPushButton::clicked, this, &TFormExport::ButSaveClick);

    // Esc and the close box reach reject() through QDialog itself.
    ButCancel = new QPushButton(QStringLiteral("Cancel"), this);
    ButCancel->setObjectName(QStringLiteral("ButCancel"));
    ButCancel->setGeometry(192, 215, 75, 25);
    connect(ButCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TFormExport::ButSaveClick()
{
    exporter::ExportChoices choices;
    choices.camLeft = RbCamLeft->isChecked();
    choices.camRight = RBCamRight->isChecked();
    choices.comboText = CBSkyFlor->currentText().toStdString();
    choices.lightLeft = RBLightLeft->isChecked();
    exporter::ApplyExportChoices(choices, CameraLocation, LightSource);
    accept();
}

} // namespace shell
