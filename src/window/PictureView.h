// PB: shows the window's picture stretched to its own size and reports mouse presses and moves.
#pragma once

#include <QImage>
#include <QWidget>

#include <functional>

class PictureView : public QWidget {
    Q_OBJECT
public:
    explicit PictureView(QWidget* parent);

    const QImage& Picture() const { return picture_; }
    void SetPicture(const QImage& picture);
    // The picture computed at the view's own size in device pixels, shown
    // instead of the stretched one while its size is the view's (null: none).
    void SetSharpPicture(const QImage& sharp);
    const QImage& SharpPicture() const { return sharp_; }
    // While the hands move the picture: `preview` shown stretched in place of
    // everything else, until EndPreview or the next SetPicture. Picture()
    // stays what it was.
    void ShowPreview(const QImage& preview);
    void EndPreview();
    const QImage& Preview() const { return preview_; }
    // The sharp picture is on screen: it has the view's size in device pixels.
    bool ShowsSharpPicture() const;
    // The colour the whole view shows while it has no picture, asked at each
    // paint so that it follows the window's colours.
    void SetBlankColour(std::function<QRgb()> colour);
    QRgb BlankColour() const { return blankColour_ ? blankColour_() : qRgb(0, 0, 0); }

signals:
    // SetPicture was called: a new picture, new rows or new colours.
    void PictureChanged();
    void MouseDown(Qt::MouseButton button, int x, int y);
    void MouseMove(int x, int y);
    // The navigation keys (arrows, '+', '-', Escape) pressed while the view has the focus.
    void KeyDown(int key);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    QImage picture_;
    QImage sharp_;
    QImage preview_;
    std::function<QRgb()> blankColour_;
};
