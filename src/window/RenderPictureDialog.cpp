// Render Picture: the dialog, the widened region that keeps the pixel shape, and the render as a long job.
#include "window/RenderPictureDialog.h"

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <memory>
#include <tuple>
#include <stdexcept>
#include <utility>

#include "export/PictureWriters.h"
#include "export/ViewFile.h"
#include "fractals/Catalogue.h"
#include "window/ErrorReport.h"
#include "window/Services.h"
#include "window/LongJobs.h"

namespace window {

namespace {

constexpr SizePreset kPresets[] = {
    {"1920 × 1080 (Full HD)", 1920, 1080},
    {"2560 × 1440", 2560, 1440},
    {"3840 × 2160 (4K)", 3840, 2160},
    {"7680 × 4320 (8K)", 7680, 4320},
    {"A4 at 300 dpi (3508 × 2480)", 3508, 2480},
    {"A3 at 300 dpi (4961 × 3508)", 4961, 3508},
};

bool EndsWith(const QString& name, const char* suffix) { return name.endsWith(QLatin1String(suffix), Qt::CaseInsensitive); }

// What the dialog showed when it last closed, rendered or cancelled: it opens
// so again in this run (nothing is kept between runs).
struct Remembered {
    bool set = false;
    int size = 0;
    int width = 1920, height = 1080, supersample = 1;
    bool keepShape = true;
    int format = 0;
    QString path;
};

Remembered& Last()
{
    static Remembered last;
    return last;
}

} // namespace

std::span<const SizePreset> SizePresets() { return kPresets; }

engine::RegionValues KeepPixelShape(const engine::RegionValues& region, int width, int height)
{
    using engine::Extended;
    // Pixel counts of the new picture's steps against the window's: both
    // products are exact in extended precision (below 2^27).
    const Extended across = static_cast<Extended>(width - 1) * 767.0L;
    const Extended down = static_cast<Extended>(height - 1) * 1023.0L;
    engine::RegionValues r = region;
    if (across > down) {
        const Extended centre = region.XStart + region.XWidth * 0.5L;
        r.XWidth = region.XWidth * (across / down);
        r.XStart = centre - r.XWidth * 0.5L;
    } else if (down > across) {
        const Extended centre = region.YStart + region.YHeight * 0.5L;
        r.YHeight = region.YHeight * (down / across);
        r.YStart = centre - r.YHeight * 0.5L;
    }
    return r;
}

RenderPictureDialog::RenderPictureDialog(QWidget* owner, std::function<QString(const SaveDialogSettings&)> chooseFile,
                                         std::function<bool(const PictureChoice&)> start)
    : QDialog(owner), chooseFile_(std::move(chooseFile)), start_(std::move(start))
{
    setObjectName("RenderPictureDialog");
    setWindowTitle(QStringLiteral("Render Picture"));
    auto* form = new QFormLayout;

    SizeBox = new QComboBox(this);
    SizeBox->setObjectName("RPSize");
    for (const SizePreset& p : kPresets)
        SizeBox->addItem(QString::fromUtf8(p.caption));
    SizeBox->addItem(QStringLiteral("Custom"));
    form->addRow(QStringLiteral("Size:"), SizeBox);

    WidthBox = jobdialog::Side(this, "RPWidth", exporter::kMinPictureSide, exporter::kMaxPictureSide);
    HeightBox = jobdialog::Side(this, "RPHeight", exporter::kMinPictureSide, exporter::kMaxPictureSide);
    jobdialog::AddSides(this, form, WidthBox, HeightBox);
    SupersampleBox = jobdialog::AddSupersample(this, form, "RPSupersample");

    KeepRegion = new QRadioButton(QStringLiteral("Keep the region (stretched to the new shape)"), this);
    KeepRegion->setObjectName("RPKeepRegion");
    KeepShape = new QRadioButton(QStringLiteral("Keep the pixel shape (the region widened about its centre)"), this);
    KeepShape->setObjectName("RPKeepShape");
    // The window's pixels keep their shape unless the user asks to stretch.
    KeepShape->setChecked(true);
    auto* shape = new QVBoxLayout;
    shape->addWidget(KeepRegion);
    shape->addWidget(KeepShape);
    form->addRow(QStringLiteral("Shape:"), shape);

    FormatBox = new QComboBox(this);
    FormatBox->setObjectName("RPFormat");
    FormatBox->addItem(QStringLiteral("PNG (with the view embedded)"));
    FormatBox->addItem(QStringLiteral("Windows bitmap (BMP)"));
    form->addRow(QStringLiteral("Format:"), FormatBox);

    std::tie(FileEdit, BrowseButton) = jobdialog::AddFile(this, form, QStringLiteral("File:"), "RPFile", "RPBrowse");
    std::tie(Buttons, RenderButton) =
        jobdialog::Finish(this, form, QStringLiteral("Render"), "RPRender", [this] { return start_(Choice()); });

    connect(SizeBox, &QComboBox::currentIndexChanged, this, [this] { SizeChanged(); });
    connect(BrowseButton, &QPushButton::clicked, this, [this] { errors::Guarded([this] { Browse(); }); });
    connect(FileEdit, &QLineEdit::textChanged, this, [this] { UpdateRenderButton(); });
    SizeChanged();
    if (const Remembered& last = Last(); last.set) {
        SizeBox->setCurrentIndex(last.size);
        if (last.size == CustomIndex()) {
            WidthBox->setValue(last.width);
            HeightBox->setValue(last.height);
        }
        SupersampleBox->setValue(last.supersample);
        (last.keepShape ? KeepShape : KeepRegion)->setChecked(true);
        FormatBox->setCurrentIndex(last.format);
        FileEdit->setText(last.path);
    }
    connect(this, &QDialog::finished, this, [this] {
        Last() = Remembered{true,
                            SizeBox->currentIndex(),
                            WidthBox->value(),
                            HeightBox->value(),
                            SupersampleBox->value(),
                            KeepShape->isChecked(),
                            FormatBox->currentIndex(),
                            FileEdit->text()};
    });
    UpdateRenderButton();
}

void RenderPictureDialog::ForgetSettings() { Last() = Remembered{}; }

int RenderPictureDialog::CustomIndex() const { return static_cast<int>(std::size(kPresets)); }

void RenderPictureDialog::SizeChanged()
{
    const int i = SizeBox->currentIndex();
    const bool custom = i == CustomIndex();
    WidthBox->setEnabled(custom);
    HeightBox->setEnabled(custom);
    if (!custom && i >= 0) {
        WidthBox->setValue(kPresets[i].width);
        HeightBox->setValue(kPresets[i].height);
    }
}

void RenderPictureDialog::UpdateRenderButton() { RenderButton->setEnabled(!FileEdit->text().isEmpty()); }

void RenderPictureDialog::Browse()
{
    const bool png = FormatBox->currentIndex() == 0;
    const QString name = chooseFile_(SaveDialogSettings{
        "RenderPicture", "Render Picture",
        png ? "PNG pictures (*.png);;All files (*)" : "Windows Bitmap (*.bmp);;All files (*)", FileEdit->text()});
    if (name.isEmpty())
        return;
    // The name says the format when it can.
    if (EndsWith(name, ".png"))
        FormatBox->setCurrentIndex(0);
    else if (EndsWith(name, ".bmp"))
        FormatBox->setCurrentIndex(1);
    FileEdit->setText(name);
}

PictureChoice RenderPictureDialog::Choice() const
{
    PictureChoice c;
    c.width = WidthBox->value();
    c.height = HeightBox->value();
    c.supersample = SupersampleBox->value();
    c.keepPixelShape = KeepShape->isChecked();
    c.format = FormatBox->currentIndex() == 0 ? render::FileFormat::Png : render::FileFormat::Bmp;
    c.path = FileEdit->text();
    return c;
}

} // namespace window
