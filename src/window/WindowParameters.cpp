// A fractal window's parameters: the Options menu's "Parameters…" command, its box, and the caption.
#include "window/WindowParameters.h"

#include <QAction>
#include <QMenu>

#include <stdexcept>

#include "export/ViewFile.h"
#include "window/ErrorReport.h"
#include "window/FormBasicTamoSet.h"
#include "window/ParametersBox.h"

namespace window {

namespace {

const char* const kActionName = "MMParameters";

const fractals::View* ViewOf(const TFormBasicTamoSet& w)
{
    return w.Entry ? fractals::FindView(w.CurrentViewDocument().viewId) : nullptr;
}

bool HasParameters(const fractals::View& v)
{
    return fractals::TakesTamoParameter(v.function) || fractals::TakesJuliaConstant(v.function) ||
           fractals::TakesIterationLimit(v.function);
}

void ShowBox(TFormBasicTamoSet& w)
{
    const fractals::View* view = ViewOf(w);
    if (view == nullptr)
        return;
    auto* box = w.findChild<ParametersBox*>();
    if (box == nullptr) {
        box = new ParametersBox(*view, [&w](const fractals::Parameters& p) { ApplyWindowParameters(w, p); }, &w);
        box->setWindowFlag(Qt::Tool);
    }
    box->Show(*view, w.CurrentViewDocument().parameters);
    box->SetCalculating(w.IsCalculating());
    box->show();
    box->raise();
}

} // namespace

void AddParametersCommand(TFormBasicTamoSet& w)
{
    auto* action = new QAction(QString::fromUtf8("Parameters…"), &w);
    action->setObjectName(kActionName);
    action->setEnabled(false); // until the window's first calculation has finished
    QObject::connect(action, &QAction::triggered, &w, errors::GuardedSlot([&w] { ShowBox(w); }));
    w.MMOptions->addAction(action);
}

void EnableParametersCommand(TFormBasicTamoSet& w, bool enabled)
{
    const fractals::View* view = ViewOf(w);
    if (auto* action = w.findChild<QAction*>(kActionName))
        action->setEnabled(enabled && view != nullptr && HasParameters(*view));
    if (view == nullptr)
        return;
    const fractals::Parameters p = w.CurrentViewDocument().parameters;
    ShowParametersInCaption(w, p);
    if (auto* box = w.findChild<ParametersBox*>()) {
        box->SetCalculating(!enabled);
        // The box follows the view (Back, Forward, an opened view); what is
        // typed in it stays while the view keeps its parameters.
        if (&box->ShownView() != view || box->Shown() != p)
            box->Show(*view, p);
    }
}

void ApplyWindowParameters(TFormBasicTamoSet& w, const fractals::Parameters& p)
{
    if (w.IsCalculating())
        throw std::runtime_error(std::string(w.Entry ? w.Entry->caption : "The window") +
                                 " is still calculating; apply the parameters once it has finished.");
    exporter::ViewDocument doc = w.CurrentViewDocument();
    doc.parameters = p;
    w.ApplyViewDocument(doc);
}

void ShowParametersInCaption(TFormBasicTamoSet& w, const fractals::Parameters& p)
{
    if (w.Entry == nullptr)
        return;
    const fractals::View* view = ViewOf(w);
    w.setWindowTitle(QString::fromUtf8(w.Entry->caption) +
                     (view ? ParametersCaption(*view, p) : QString()));
}

} // namespace window
