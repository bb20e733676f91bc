// The Render Picture dialog: a picture of the window's view at any size, supersampled, as PNG or BMP.
#pragma once

#include <QDialog>
#include <QString>

#include <functional>
#include <span>

#include "engine/Region.h"
#include "render/Render.h"

class QComboBox;
class QDialogButtonBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
struct SaveDialogSettings;

namespace window {

// What the dialog was asked for.
struct PictureChoice {
    int width = 1920;
    int height = 1080;
    int supersample = 1;
    // Widen the region about its centre (KeepPixelShape) instead of stretching it.
    bool keepPixelShape = false;
    render::FileFormat format = render::FileFormat::Png;
    QString path;
};

struct SizePreset {
    const char* caption;
    int width, height;
};
// 1920 x 1080 ... 7680 x 4320, then A4 and A3 at 300 dpi, landscape as the
// window's picture is: 297 mm and 420 mm are 3508 and 4961 dots.
std::span<const SizePreset> SizePresets();

// The region widened about its centre along one axis so that the pixels of a
// width x height picture keep the shape they have in the 1024 x 768 one
// (XWidth/1023 by YHeight/767): never narrowed, so all of the window's
// region stays in the picture. At 1024 x 768, and at any size of the same
// pixel ratio, the region is returned as it is.
engine::RegionValues KeepPixelShape(const engine::RegionValues& region, int width, int height);

class RenderPictureDialog : public QDialog {
    Q_OBJECT
public:
    // `chooseFile` runs the window's save dialog; `start` starts the render
    // (true) or reports why it cannot (false), which keeps the dialog open.
    RenderPictureDialog(QWidget* owner, std::function<QString(const SaveDialogSettings&)> chooseFile,
                        std::function<bool(const PictureChoice&)> start);

    QComboBox* SizeBox = nullptr; // presets, then "Custom"
    QSpinBox* WidthBox = nullptr;
    QSpinBox* HeightBox = nullptr;
    QSpinBox* SupersampleBox = nullptr;
    QRadioButton* KeepRegion = nullptr;
    QRadioButton* KeepShape = nullptr;
    QComboBox* FormatBox = nullptr; // PNG, BMP
    QLineEdit* FileEdit = nullptr;
    QPushButton* BrowseButton = nullptr;
    QDialogButtonBox* Buttons = nullptr;
    QPushButton* RenderButton = nullptr;

    PictureChoice Choice() const;
    int CustomIndex() const;
    // The dialog opens as it last closed in this run (Render or Cancel);
    // this returns it to its defaults, as at start-up.
    static void ForgetSettings();

private:
    void SizeChanged();
    void Browse();
    void UpdateRenderButton();

    std::function<QString(const SaveDialogSettings&)> chooseFile_;
    std::function<bool(const PictureChoice&)> start_;
};

} // namespace window
