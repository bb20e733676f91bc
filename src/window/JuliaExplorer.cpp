// The Julia explorer of the level-set Mandelbrot window.
#include "window/JuliaExplorer.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDockWidget>
#include <QMenu>
#include <QMouseEvent>

#include <algorithm>
#include <stdexcept>

#include "export/ViewFile.h"
#include "fractals/Catalogue.h"
#include "window/ErrorReport.h"
#include "window/FormBasicTamoSet.h"
#include "window/JuliaPreviewPanel.h"
#include "window/PictureView.h"
#include "window/Services.h"

namespace window {

JuliaExplorer::JuliaExplorer(TFormBasicTamoSet& w) : QObject(&w), w_(w)
{
    setObjectName(QStringLiteral("JuliaExplorer"));
    dock_ = new QDockWidget(QStringLiteral("Julia Preview"), &w);
    dock_->setObjectName(QStringLiteral("JuliaPreviewDock"));
    panel_ = new JuliaPreviewPanel(dock_);
    dock_->setWidget(panel_);
    dock_->setFloating(true); // a tool window of its own: the window's layout stays as it is
    dock_->hide();

    // The items, their places, keys and handlers come from the window's menu table.
    w.AddMenuItems(TFormBasicTamoSet::MenuGroup::JuliaExplorer);
    preview_ = w.MenuAction("MMJuliaPreview");
    open_ = w.MenuAction("MMJuliaSetOfThisPoint");
    connect(preview_, &QAction::toggled, this, [this](bool on) {
        dock_->setVisible(on);
        if (!on)
            panel_->Stop();
        else if (mouse_.x() >= 0)
            Follow(mouse_);
    });
    connect(dock_, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (!visible && !dock_->isVisible() && preview_->isChecked())
            preview_->setChecked(false);
    });

    w.PB->setMouseTracking(true);
    w.PB->setContextMenuPolicy(Qt::DefaultContextMenu);
    w.PB->installEventFilter(this);
}

JuliaConstant JuliaExplorer::PointAt(int x, int y) const
{
    // The view shows the 1024 x 768 cells stretched to its size.
    const int width = std::max(1, w_.PB->width()), height = std::max(1, w_.PB->height());
    const int column = std::clamp(static_cast<int>(static_cast<long long>(x) * engine::kBufferWidth / width), 0,
                                  engine::kBufferWidth - 1);
    const int row = std::clamp(static_cast<int>(static_cast<long long>(y) * engine::kBufferHeight / height), 0,
                               engine::kBufferHeight - 1);
    const engine::RegionValues r = w_.ViewRegion.Values();
    return {engine::CellX(r, column), engine::CellY(r, row)};
}

TFormBasicTamoSet* JuliaExplorer::OpenJuliaSet(engine::Extended cx, engine::Extended cy)
{
    const fractals::WindowEntry& entry = fractals::JuliaExplorerWindow();
    Services* services = InstalledServices();
    auto* target = services ? qobject_cast<TFormBasicTamoSet*>(services->ShowViewWindow(entry.instance)) : nullptr;
    if (target == nullptr)
        throw std::runtime_error("The Julia Set window is not there to show the Julia set of this point.");
    // Its own colours and limit, its start region, the new constant.
    target->InterruptCalculation();
    exporter::ViewDocument doc = target->CurrentViewDocument();
    doc.region = entry.region.Make();
    doc.extendedRegion.reset();
    doc.parameters.juliaRe = cx;
    doc.parameters.juliaIm = cy;
    target->ApplyViewDocument(doc);
    return target;
}

void JuliaExplorer::Follow(QPoint at)
{
    const JuliaConstant c = PointAt(at.x(), at.y());
    const exporter::ViewDocument doc = w_.CurrentViewDocument();
    panel_->Follow(c.re, c.im, render::Colours{doc.Palette(), doc.adjust});
}

void JuliaExplorer::OpenAtMouse()
{
    if (mouse_.x() < 0)
        throw std::runtime_error("Point at the picture first: the Julia set is that of the point under the mouse.");
    const JuliaConstant c = PointAt(mouse_.x(), mouse_.y());
    OpenJuliaSet(c.re, c.im);
}

bool JuliaExplorer::eventFilter(QObject* watched, QEvent* e)
{
    if (watched != w_.PB)
        return false;
    switch (e->type()) {
    case QEvent::MouseMove:
        mouse_ = static_cast<QMouseEvent*>(e)->position().toPoint();
        if (preview_->isChecked())
            errors::Guarded([&] { Follow(mouse_); });
        break;
    case QEvent::Leave:
        if (preview_->isChecked())
            panel_->Stop();
        break;
    case QEvent::MouseButtonDblClick:
        if (preview_->isChecked() && static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) {
            mouse_ = static_cast<QMouseEvent*>(e)->position().toPoint();
            // The first click of the two began a rubber band.
            errors::Guarded([&] {
                w_.SBCancelClick();
                OpenAtMouse();
            });
            return true;
        }
        break;
    case QEvent::ContextMenu: {
        mouse_ = static_cast<QContextMenuEvent*>(e)->pos();
        QMenu menu(w_.PB);
        menu.addAction(open_);
        menu.exec(static_cast<QContextMenuEvent*>(e)->globalPos());
        return true;
    }
    default:
        break;
    }
    return false;
}

} // namespace window
