// What makes the window's keys and mouse discoverable: tooltips naming the keys, the keys shown in the Move menu, Home, Help ▸ Keys and Mouse.
#pragma once

#include <QObject>

class QAction;
class TFormBasicTamoSet;

namespace window {

// Added beside the window's own commands, which keep their captions,
// handlers and order. The picture's keys (arrows, + and -) become the
// shortcuts of the Move menu's items, active only while the picture has the
// focus, where they always worked: the menu shows them, and a disabled item
// (during a calculation) leaves its key without effect as before.
class KeyHints : public QObject {
    Q_OBJECT
public:
    explicit KeyHints(TFormBasicTamoSet* form);

    QAction* MMKeysAndMouse = nullptr; // Help ▸ "Keys and Mouse", after the help items
    // Move ▸ "Home" (the Home key on the picture): back to the region, formula
    // and colour offset the window opened with, as a new step of the history.
    // Like the other move commands it waits while a calculation runs.
    QAction* MMHome = nullptr;
    void MMHomeClick();

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // The picture's keys as shortcuts, or none while a modal dialog blocks
    // the window: the shortcut map asks which widget has the focus, not
    // which window the key was meant for.
    void SetKeys(bool on);

    TFormBasicTamoSet* form_;
};

} // namespace window
