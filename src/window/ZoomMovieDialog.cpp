// Make Zoom Movie: the dialog, the views of the window's history it goes through, and the movie as a long job.
#include "window/ZoomMovieDialog.h"

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <memory>
#include <tuple>
#include <stdexcept>
#include <utility>

#include "export/ViewFile.h"
#include "fractals/Catalogue.h"
#include "movie/QueuedSink.h"
#include "movie/VideoSink.h"
#include "movie/ZoomPath.h"
#include "render/ViewMovie.h"
#include "window/ErrorReport.h"
#include "window/Services.h"
#include "window/LongJobs.h"

namespace window {

namespace {

constexpr int kMaxMovieSide = 7680;

int Even(int side) { return side % 2 == 0 ? side : std::min(side + 1, kMaxMovieSide); }

} // namespace

int MovieChoice::Frames() const
{
    const double frames = std::round(seconds * fps);
    return frames < 2 ? 2 : frames > movie::kMaxFrames ? movie::kMaxFrames : static_cast<int>(frames);
}

ZoomMovieDialog::ZoomMovieDialog(QWidget* owner, int views, std::function<QString(const SaveDialogSettings&)> chooseFile,
                                 std::function<bool(const MovieChoice&)> start)
    : QDialog(owner), views_(views), chooseFile_(std::move(chooseFile)), start_(std::move(start))
{
    setObjectName("ZoomMovieDialog");
    setWindowTitle(QStringLiteral("Make Zoom Movie"));
    auto* form = new QFormLayout;
    const MovieChoice defaults;

    WidthBox = jobdialog::Side(this, "ZMWidth", 2, kMaxMovieSide);
    HeightBox = jobdialog::Side(this, "ZMHeight", 2, kMaxMovieSide);
    WidthBox->setValue(defaults.width);
    HeightBox->setValue(defaults.height);
    for (QSpinBox* s : {WidthBox, HeightBox}) {
        s->setSingleStep(2);
        // A video's sides are even (yuv420p halves them): an odd entry goes up by one.
        connect(s, &QSpinBox::editingFinished, s, [s] { s->setValue(Even(s->value())); });
    }
    jobdialog::AddSides(this, form, WidthBox, HeightBox);

    FpsBox = new QSpinBox(this);
    FpsBox->setObjectName("ZMFps");
    FpsBox->setRange(1, 120);
    FpsBox->setValue(defaults.fps);
    FpsBox->setSuffix(QStringLiteral(" frames a second"));
    form->addRow(QStringLiteral("Frame rate:"), FpsBox);

    SecondsBox = new QDoubleSpinBox(this);
    SecondsBox->setObjectName("ZMSeconds");
    SecondsBox->setRange(0.1, 3600.0);
    SecondsBox->setDecimals(1);
    SecondsBox->setValue(defaults.seconds);
    SecondsBox->setSuffix(QStringLiteral(" s"));
    form->addRow(QStringLiteral("Length:"), SecondsBox);
    FramesLabel = new QLabel(this);
    FramesLabel->setObjectName("ZMFrames");
    form->addRow(QString(), FramesLabel);

    SupersampleBox = jobdialog::AddSupersample(this, form, "ZMSupersample");

    OutputBox = new QComboBox(this);
    OutputBox->setObjectName("ZMOutput");
    OutputBox->addItem(QStringLiteral("Video (.mp4 H.264 or .webm VP9, made by ffmpeg)"));
    OutputBox->addItem(QStringLiteral("Folder of PNG frames (each with its view)"));
    form->addRow(QStringLiteral("Output:"), OutputBox);

    std::tie(FileEdit, BrowseButton) =
        jobdialog::AddFile(this, form, QStringLiteral("File or folder:"), "ZMFile", "ZMBrowse");
    std::tie(Buttons, MakeButton) =
        jobdialog::Finish(this, form, QStringLiteral("Make Movie"), "ZMMake", [this] { return start_(Choice()); });

    connect(FpsBox, &QSpinBox::valueChanged, this, [this] { Update(); });
    connect(SecondsBox, &QDoubleSpinBox::valueChanged, this, [this] { Update(); });
    connect(FileEdit, &QLineEdit::textChanged, this, [this] { Update(); });
    connect(BrowseButton, &QPushButton::clicked, this, [this] { errors::Guarded([this] { Browse(); }); });
    Update();
}

void ZoomMovieDialog::Update()
{
    FramesLabel->setText(QStringLiteral("%1 frames through %2 views").arg(Choice().Frames()).arg(views_));
    MakeButton->setEnabled(!FileEdit->text().isEmpty());
}

void ZoomMovieDialog::Browse()
{
    const bool folder = OutputBox->currentIndex() == 1;
    const QString name = chooseFile_(
        folder ? SaveDialogSettings{"ZoomMovieFolder", "Folder for the Frames", QString(), FileEdit->text()}
               : SaveDialogSettings{"ZoomMovie", "Make Zoom Movie", "Videos (*.mp4 *.webm);;All files (*)",
                                    FileEdit->text()});
    if (!name.isEmpty())
        FileEdit->setText(name);
}

MovieChoice ZoomMovieDialog::Choice() const
{
    MovieChoice c;
    c.width = Even(WidthBox->value());
    c.height = Even(HeightBox->value());
    c.fps = FpsBox->value();
    c.seconds = SecondsBox->value();
    c.supersample = SupersampleBox->value();
    c.frameFolder = OutputBox->currentIndex() == 1;
    c.path = FileEdit->text();
    return c;
}

} // namespace window
