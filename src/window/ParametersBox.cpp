// The "Parameters" box of a fractal window.
#include "window/ParametersBox.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "export/ViewFile.h"
#include "window/ErrorReport.h"
#include "window/PositionParse.h"

namespace window {

// snprintf writes the locale's decimal separator, the one the fields are read with.
QString ParameterText(engine::Extended value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.20Lg", value);
    return QString::fromLocal8Bit(text);
}

namespace {

QString Short(engine::Extended value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.10Lg", value);
    return QString::fromLocal8Bit(text);
}

QString Complex(engine::Extended re, engine::Extended im)
{
    return Short(re) + (std::signbit(im) ? QStringLiteral(" - ") : QStringLiteral(" + ")) + Short(std::fabs(im)) +
           QStringLiteral("i");
}

bool Same(engine::Extended a, engine::Extended b) { return a == b && std::signbit(a) == std::signbit(b); }

} // namespace

QString ParametersCaption(const fractals::View& view, const fractals::Parameters& p)
{
    const fractals::Parameters own = fractals::DefaultParameters(*view.window);
    QStringList parts;
    if (fractals::TakesTamoParameter(view.function) &&
        (!Same(p.tamoX, own.tamoX) || !Same(p.tamoY, own.tamoY) || !Same(p.tamoZ, own.tamoZ)))
        parts << QStringLiteral("parameters %1, %2, %3").arg(Short(p.tamoX), Short(p.tamoY), Short(p.tamoZ));
    if (fractals::TakesJuliaConstant(view.function) &&
        (view.window == &fractals::JuliaExplorerWindow() || !Same(p.juliaRe, own.juliaRe) ||
         !Same(p.juliaIm, own.juliaIm)))
        parts << QStringLiteral("c = ") + Complex(p.juliaRe, p.juliaIm);
    if (fractals::TakesIterationLimit(view.function) && p.iterations != own.iterations)
        parts << QStringLiteral("%1 iterations").arg(p.iterations);
    return parts.isEmpty() ? QString() : QStringLiteral(", ") + parts.join(QStringLiteral(", "));
}

ParametersBox::ParametersBox(const fractals::View& view, std::function<void(const fractals::Parameters&)> apply,
                             QWidget* parent)
    : QDialog(parent), view_(&view), onApply_(std::move(apply))
{
    setObjectName(QStringLiteral("ParametersBox"));
    setWindowTitle(QStringLiteral("Parameters"));
    auto* form = new QFormLayout;
    const struct {
        const char* name;
        const char* label;
        const char* what;
        engine::Extended fractals::Parameters::*value;
    } fields[] = {
        {"X", "Parameter X", "Parameter X", &fractals::Parameters::tamoX},
        {"Y", "Parameter Y", "Parameter Y", &fractals::Parameters::tamoY},
        {"Z", "Parameter Z", "Parameter Z", &fractals::Parameters::tamoZ},
        {"Re", "c, real part", "The real part of c", &fractals::Parameters::juliaRe},
        {"Im", "c, imaginary part", "The imaginary part of c", &fractals::Parameters::juliaIm},
        {"Iterations", "Iterations (1 to 10000000)", "The iteration limit", nullptr},
    };
    for (const auto& f : fields) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(f.name));
        edit->setMinimumWidth(220);
        auto* label = new QLabel(QString::fromLatin1(f.label), this);
        form->addRow(label, edit);
        rows_.push_back(Row{f.name, f.what, f.value, edit, label});
    }
    auto* buttons = new QDialogButtonBox(this);
    apply_ = buttons->addButton(QStringLiteral("Apply"), QDialogButtonBox::ApplyRole);
    defaults_ = buttons->addButton(QStringLiteral("Defaults"), QDialogButtonBox::ResetRole);
    QPushButton* close = buttons->addButton(QStringLiteral("Close"), QDialogButtonBox::RejectRole);
    apply_->setObjectName(QStringLiteral("Apply"));
    defaults_->setObjectName(QStringLiteral("Defaults"));
    close->setObjectName(QStringLiteral("Close"));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(apply_, &QPushButton::clicked, this, errors::GuardedSlot([this] { onApply_(FieldParameters()); }));
    // The window's own values in the fields; Apply makes them count.
    connect(defaults_, &QPushButton::clicked, this,
            [this] { ShowValues(fractals::DefaultParameters(*view_->window)); });
    connect(close, &QPushButton::clicked, this, &QDialog::hide);
    Show(view, fractals::DefaultParameters(*view.window));
}

void ParametersBox::Show(const fractals::View& view, const fractals::Parameters& p)
{
    view_ = &view;
    for (Row& r : rows_) {
        const bool tamo = r.value == &fractals::Parameters::tamoX || r.value == &fractals::Parameters::tamoY ||
                          r.value == &fractals::Parameters::tamoZ;
        const bool julia = r.value == &fractals::Parameters::juliaRe || r.value == &fractals::Parameters::juliaIm;
        const bool shown = tamo ? fractals::TakesTamoParameter(view.function)
                                : julia ? fractals::TakesJuliaConstant(view.function)
                                        : fractals::TakesIterationLimit(view.function);
        r.edit->setVisible(shown);
        r.label->setVisible(shown);
    }
    ShowValues(p);
}

void ParametersBox::ShowValues(const fractals::Parameters& p)
{
    shown_ = p;
    for (Row& r : rows_)
        r.edit->setText(r.value ? ParameterText(p.*r.value) : QString::number(p.iterations));
}

fractals::Parameters ParametersBox::FieldParameters() const
{
    fractals::Parameters p = shown_;
    for (const Row& r : rows_) {
        if (r.edit->isHidden())
            continue;
        const std::string text = r.edit->text().trimmed().toStdString();
        if (r.value == nullptr) {
            const auto n =
                exporter::ParseWholeNumber(text, engine::kMinIterationLimit, engine::kMaxIterationLimit);
            if (!n)
                throw std::runtime_error("The iteration limit must be a whole number from 1 to 10000000, not '" +
                                         text + "'.");
            p.iterations = static_cast<std::int32_t>(*n);
            continue;
        }
        // 20 digits do not always give back the 64-bit significand: a field
        // left as shown keeps its exact value.
        if (r.edit->text() == ParameterText(shown_.*r.value))
            continue;
        // Written and read with the locale's separator, as the Position box does.
        const std::optional<long double> v = ParseRegionNumber(text, SystemDecimalSeparator());
        if (!v)
            throw std::runtime_error(std::string(r.what) + " must be a number, not '" + text + "'.");
        p.*r.value = *v;
    }
    return p;
}

void ParametersBox::SetCalculating(bool calculating) { apply_->setEnabled(!calculating); }

QLineEdit* ParametersBox::Field(const char* name) const
{
    for (const Row& r : rows_)
        if (std::string(r.name) == name)
            return r.edit;
    return nullptr;
}

} // namespace window
