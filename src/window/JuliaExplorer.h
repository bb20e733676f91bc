// The Julia explorer of the level-set Mandelbrot window: a preview of the Julia set of the point under the
// mouse, and the "Julia Set" window opened on a point.
#pragma once

#include <QObject>
#include <QPoint>

#include "engine/Region.h"

class QAction;
class QDockWidget;
class TFormBasicTamoSet;

namespace window {

class JuliaPreviewPanel;

struct JuliaConstant {
    engine::Extended re = 0.0L, im = 0.0L;
};

class JuliaExplorer : public QObject {
    Q_OBJECT
public:
    // Adds View ▸ "Julia Preview", the picture's context menu with "Julia
    // Set of This Point" and the key J to `w`, whose picture is the
    // Mandelbrot set: each point of it is a Julia constant.
    explicit JuliaExplorer(TFormBasicTamoSet& w);

    // The point of the picture at (x, y) of the view widget, exactly as the
    // calculation computes that cell.
    JuliaConstant PointAt(int x, int y) const;
    // Opens the "Julia Set" window on the constant c = (cx, cy); returns it.
    TFormBasicTamoSet* OpenJuliaSet(engine::Extended cx, engine::Extended cy);

    // The point under the mouse as the Julia Set window's constant; throws
    // std::runtime_error before the mouse has been over the picture.
    void OpenAtMouse();

    QAction* PreviewAction() const { return preview_; }
    QAction* OpenAction() const { return open_; }
    JuliaPreviewPanel* Panel() const { return panel_; }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void Follow(QPoint at);

    TFormBasicTamoSet& w_;
    QDockWidget* dock_;
    JuliaPreviewPanel* panel_;
    QAction* preview_;
    QAction* open_;
    QPoint mouse_{-1, -1}; // the last position over the picture
};

} // namespace window
