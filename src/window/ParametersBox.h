// The "Parameters" box of a fractal window: the formula's parameters shown to 20 significant digits, Apply,
// "Defaults" and Close.
#pragma once

#include <QDialog>
#include <QString>

#include <functional>
#include <string>
#include <vector>

#include "fractals/Catalogue.h"

class QLineEdit;
class QPushButton;

namespace window {

// A parameter as shown: 20 significant digits.
QString ParameterText(engine::Extended value);

// What a window's caption adds for parameters that are not its own
// (", c = -0.8 + 0.156i, 500 iterations"); the Julia explorer's window always
// names c. Empty when there is nothing to say.
QString ParametersCaption(const fractals::View& view, const fractals::Parameters& p);

class ParametersBox : public QDialog {
    Q_OBJECT
public:
    // `apply` receives the parameters when Apply is pressed; what it throws is
    // reported, and the box stays as it was.
    ParametersBox(const fractals::View& view, std::function<void(const fractals::Parameters&)> apply,
                  QWidget* parent = nullptr);

    // Shows the view's parameters (a view of another formula shows its own fields).
    void Show(const fractals::View& view, const fractals::Parameters& p);
    // The parameters the fields hold: a field left as shown keeps its exact
    // value, a typed decimal becomes the nearest extended value. Throws
    // std::runtime_error naming the field.
    fractals::Parameters FieldParameters() const;
    // Apply waits while the window calculates, as its other commands do.
    void SetCalculating(bool calculating);
    // The view and parameters last shown (not what was typed since).
    const fractals::View& ShownView() const { return *view_; }
    const fractals::Parameters& Shown() const { return shown_; }

    QPushButton* ApplyButton() const { return apply_; }
    QPushButton* DefaultsButton() const { return defaults_; }
    QLineEdit* Field(const char* name) const; // "X", "Y", "Z", "Re", "Im", "Iterations"

private:
    struct Row {
        const char* name;
        const char* what; // the field in a message
        engine::Extended fractals::Parameters::*value; // nullptr: the iteration limit
        QLineEdit* edit;
        QWidget* label;
    };
    void ShowValues(const fractals::Parameters& p);

    const fractals::View* view_;
    fractals::Parameters shown_;
    std::vector<Row> rows_;
    QPushButton* apply_;
    QPushButton* defaults_;
    std::function<void(const fractals::Parameters&)> onApply_;
};

} // namespace window
