// Tooltips, the Move menu's keys and Help ▸ Keys and Mouse.
#include "window/KeyHints.h"

#include <QAction>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QToolButton>

#include "window/FormBasicTamoSet.h"
#include "window/PictureView.h"

namespace window {

KeyHints::KeyHints(TFormBasicTamoSet* form) : QObject(form), form_(form)
{
    setObjectName("KeyHints");
    TFormBasicTamoSet& w = *form;

    // The items come from the window's menu table, which holds their keys and handlers.
    MMHome = w.MenuAction("MMHome");
    MMKeysAndMouse = w.MenuAction("MMKeysAndMouse");
    SetKeys(true);
    form->installEventFilter(this);

    const struct {
        QWidget* control;
        const char* tip;
    } tips[] = {
        {w.PB, "Wheel: zoom in or out about the pointer. Middle button or Ctrl + left button: drag the picture. "
               "Left click twice: a rectangle to zoom into (hold Shift to keep the picture's shape); right click "
               "or Esc cancels it. Keys: arrows, + and -."},
        {w.BitBtnUp, "Move up (Up key on the picture)"},
        {w.BitBtnDown, "Move down (Down key on the picture)"},
        {w.BitBtnLeft, "Move left (Left key on the picture)"},
        {w.BitBtnRight, "Move right (Right key on the picture)"},
        {w.BitBtnZIN, "Zoom in (+ key or the wheel on the picture)"},
        {w.BitBtnZOUT, "Zoom out (- key or the wheel on the picture)"},
        {w.SBZoom, "Zoom into the rectangle"},
        {w.SBCancel, "Cancel the rectangle (Esc or the right button)"},
        {w.TB1, "Palette rotation"},
        {w.TBR, "Red added to every colour"},
        {w.TBG, "Green added to every colour"},
        {w.TBB, "Blue added to every colour"},
        {w.ButReset, "Back to the VGA palette, no rotation, no offsets"},
        {w.PagCPal, "Palette: the VGA table or a gradient through 2, 3, 4 or 15 colours (click a colour to change it)"},
        {w.ProgBar, "Rows of the picture shown so far"},
        {w.BBEdit, "Type the region's edges"},
        {w.BBCancel, "Stop typing; the region stays"},
        {w.BBSubmit, "Calculate the typed region"},
    };
    for (const auto& t : tips)
        t.control->setToolTip(QString::fromUtf8(t.tip));
}

void KeyHints::SetKeys(bool on)
{
    form_->SetPictureKeys(on);
}

bool KeyHints::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == form_ && (e->type() == QEvent::WindowBlocked || e->type() == QEvent::WindowUnblocked))
        SetKeys(e->type() == QEvent::WindowUnblocked);
    return QObject::eventFilter(watched, e);
}

void KeyHints::MMHomeClick()
{
    if (form_->IsCalculating())
        return;
    form_->Model.Home();
    form_->StartCalculation();
}

} // namespace window

// The window calls this while it builds itself; the helper is its child.
void TFormBasicTamoSet::InstallKeyHints() { new window::KeyHints(this); }
