// A fractal window's parameters: the Options menu's "Parameters…" command, its box, and the caption.
#include "window/WindowParameters.h"

#include <QAction>
#include <QWidget>

#include <stdexcept>

#include "window/ParametersBox.h"

namespace window {

namespace {

bool HasParameters(const fractals::View& v)
{
    return fractals::TakesTamoParameter(v.function) || fractals::TakesJuliaConstant(v.function) ||
           fractals::TakesIterationLimit(v.function);
}

} // namespace

ParametersCommand::ParametersCommand(QAction* action, ParametersHost host)
    : QObject(host.window), host_(std::move(host)), action_(action)
{
    setObjectName(QStringLiteral("ParametersCommand"));
}

ParametersCommand* ParametersCommand::Of(const QWidget& window)
{
    return window.findChild<ParametersCommand*>(QString(), Qt::FindDirectChildrenOnly);
}

const fractals::View* ParametersCommand::View() const
{
    if (!host_.caption || host_.caption() == nullptr)
        return nullptr;
    return fractals::FindView(host_.document().viewId);
}

void ParametersCommand::ShowBox()
{
    const fractals::View* view = View();
    if (view == nullptr)
        return;
    auto* box = host_.window->findChild<ParametersBox*>();
    if (box == nullptr) {
        box = new ParametersBox(*view, [this](const fractals::Parameters& p) { Apply(p); }, host_.window);
        box->setWindowFlag(Qt::Tool);
    }
    box->Show(*view, host_.document().parameters);
    box->SetCalculating(host_.calculating());
    box->show();
    box->raise();
}

void ParametersCommand::Enable(bool enabled)
{
    const fractals::View* view = View();
    action_->setEnabled(enabled && view != nullptr && HasParameters(*view));
    if (view == nullptr)
        return;
    const fractals::Parameters p = host_.document().parameters;
    host_.window->setWindowTitle(QString::fromUtf8(host_.caption()) + ParametersCaption(*view, p));
    if (auto* box = host_.window->findChild<ParametersBox*>()) {
        box->SetCalculating(!enabled);
        // The box follows the view (Back, Forward, an opened view); what is
        // typed in it stays while the view keeps its parameters.
        if (&box->ShownView() != view || box->Shown() != p)
            box->Show(*view, p);
    }
}

void ParametersCommand::Apply(const fractals::Parameters& p)
{
    if (host_.calculating())
        throw std::runtime_error(std::string(host_.caption ? host_.caption() : "The window") +
                                 " is still calculating; apply the parameters once it has finished.");
    exporter::ViewDocument doc = host_.document();
    doc.parameters = p;
    host_.open(doc);
}

} // namespace window
