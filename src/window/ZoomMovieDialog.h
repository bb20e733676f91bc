// The Make Zoom Movie dialog: a movie through the window's history, as a video or a folder of PNG frames.
#pragma once

#include <QDialog>
#include <QString>

#include <functional>

class QComboBox;
class QDialogButtonBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
struct SaveDialogSettings;

namespace window {

// What the dialog was asked for.
struct MovieChoice {
    int width = 1280; // even, as yuv420p video needs
    int height = 720;
    int fps = 30;
    double seconds = 10.0;
    int supersample = 1;
    bool frameFolder = false; // PNG frames into the folder `path`; else a video, .mp4 or .webm by its name
    QString path;

    // seconds x fps, at least 2 (the first and the last view).
    int Frames() const;
};

class ZoomMovieDialog : public QDialog {
    Q_OBJECT
public:
    // `views`: how many views the movie goes through, for the dialog to say.
    ZoomMovieDialog(QWidget* owner, int views, std::function<QString(const SaveDialogSettings&)> chooseFile,
                    std::function<bool(const MovieChoice&)> start);

    QSpinBox* WidthBox = nullptr;
    QSpinBox* HeightBox = nullptr;
    QSpinBox* FpsBox = nullptr;
    QDoubleSpinBox* SecondsBox = nullptr;
    QLabel* FramesLabel = nullptr;
    QSpinBox* SupersampleBox = nullptr;
    QComboBox* OutputBox = nullptr; // video file, folder of PNG frames
    QLineEdit* FileEdit = nullptr;
    QPushButton* BrowseButton = nullptr;
    QDialogButtonBox* Buttons = nullptr;
    QPushButton* MakeButton = nullptr;

    MovieChoice Choice() const;

private:
    void Browse();
    void Update();

    int views_;
    std::function<QString(const SaveDialogSettings&)> chooseFile_;
    std::function<bool(const MovieChoice&)> start_;
};

} // namespace window
