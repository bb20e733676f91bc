// A fractal window's parameters: the Options menu's "Parameters…" command, its box, and the caption that
// names parameters that are not the window's own.
#pragma once

#include <QObject>

#include <functional>

#include "export/ViewFile.h"

class QAction;
class QWidget;

namespace window {

// What the command needs of its window.
struct ParametersHost {
    QWidget* window = nullptr; // the box's parent, whose caption names the parameters
    std::function<const char*()> caption; // the window's own caption; null: a bare window
    std::function<exporter::ViewDocument()> document; // the view shown
    std::function<void(const exporter::ViewDocument&)> open; // calculates a view as a new one
    std::function<bool()> calculating;
};

// "Parameters…" at the end of the Options menu: it shows the Parameters box,
// whose Apply draws the window's view with the parameters typed (one new
// view of Back/Forward). Disabled while the window calculates and for
// formulas without parameters (the random-set windows).
class ParametersCommand : public QObject {
    Q_OBJECT
public:
    // `action` is the item of the window's menu table, which runs ShowBox.
    ParametersCommand(QAction* action, ParametersHost host);
    // The command of a window (a child of it), or null.
    static ParametersCommand* Of(const QWidget& window);

    // After each change of the window's state: enables the command and the
    // box's Apply, and shows the view's parameters in the caption and the box.
    void Enable(bool enabled);
    // The window's view with other parameters, calculated as a new view.
    // Throws std::runtime_error while the window calculates.
    void Apply(const fractals::Parameters& p);
    // The box with the view's parameters, for the window's catalogue view.
    void ShowBox();

    QAction* Action() const { return action_; }

private:
    const fractals::View* View() const;

    ParametersHost host_;
    QAction* action_;
};

} // namespace window
