// TFormExport: the POV-Ray export options (camera and light position), shared by every fractal window.
#pragma once

#include <string>

#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace shell {

// Created once and shared, so CameraLocation and LightSource keep the
// statements of the last "Save" from one export to the next. The export
// command runs it modally:
//
//     if (FormExport->exec() != QDialog::Accepted) return;   // Cancel, Esc, close box
//     ... write the scene with FormExport->CameraLocation, FormExport->LightSource
class TFormExport : public QDialog {
    Q_OBJECT
public:
    TFormExport();

    QGroupBox* GbCamera = nullptr;
    QLabel* Image1 = nullptr; // a 64 x 51 picture of Julia Set 3, stretched
    QRadioButton* RbCamLeft = nullptr;
    QRadioButton* RBCamRight = nullptr;
    QComboBox* CBSkyFlor = nullptr;
    QGroupBox* GBLight = nullptr;
    QRadioButton* RBLightLeft = nullptr;
    QRadioButton* RBLightRight = nullptr;
    QPushButton* ButSave = nullptr;
    QPushButton* ButCancel = nullptr;

    std::string CameraLocation; // the camera "location" statement; empty before the first Save
    std::string LightSource;    // the main "light_source" statement; empty before the first Save

    // Fills CameraLocation and LightSource from the controls, then closes
    // the dialog with the result Accepted.
    void ButSaveClick();

};

} // namespace shell
