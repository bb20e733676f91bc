// The window's view: its document, formula and history.
#include "view/ViewModel.h"

#include <algorithm>
#include <span>
#include <stdexcept>
#include <string>

#include "fractals/Catalogue.h"
#include "view/DeepNavigation.h"
#include "view/Navigation.h"

namespace view {

void ViewModel::Open(const fractals::WindowEntry& entry)
{
    entry_ = &entry;
    valueFunction_ = entry.valueFunction;
    entry.region.ApplyTo(document_.region);
    colourOffset_ = static_cast<std::uint8_t>(entry.colourOffset);
    document_.parameters = fractals::DefaultParameters(entry);
}

const fractals::View* ViewModel::CatalogueView() const
{
    if (entry_ == nullptr)
        return nullptr;
    const fractals::View* found = nullptr;
    for (const fractals::View& v : fractals::Views())
        if (v.window == entry_ && v.function == valueFunction_ && (found == nullptr || v.id == entry_->instance))
            found = &v;
    const fractals::View& explorer = fractals::JuliaExplorerView();
    if (found == nullptr && explorer.window == entry_ && explorer.function == valueFunction_)
        found = &explorer;
    return found;
}

exporter::ViewDocument ViewModel::Document() const
{
    const fractals::View* view = CatalogueView();
    if (view == nullptr)
        throw std::runtime_error("This window's view has no name in the catalogue.");
    exporter::ViewDocument doc = exporter::DefaultView(*view);
    doc.region = document_.region;
    doc.deepRegion = document_.deepRegion;
    doc.page = document_.page;
    doc.panels = document_.panels;
    doc.adjust = document_.adjust;
    doc.adjust.colourOffset = colourOffset_;
    doc.loadedPalette = document_.loadedPalette;
    doc.parameters = document_.parameters;
    return doc;
}

void ViewModel::OpenDocument(const exporter::ViewDocument& doc)
{
    const fractals::View* view = fractals::FindView(doc.viewId);
    if (view == nullptr || view->window != entry_)
        throw std::logic_error("the view " + doc.viewId + " belongs to another window");
    document_ = doc;
    valueFunction_ = view->function;
    colourOffset_ = static_cast<std::uint8_t>(doc.adjust.colourOffset);
}

colour::ColourAdjust ViewModel::Adjust() const
{
    colour::ColourAdjust adjust = document_.adjust;
    adjust.colourOffset = colourOffset_;
    return adjust;
}

namespace {

// The panels' colours of a gradient page; empty for the Vga page.
std::span<colour::ColourWord> PageColours(colour::PanelColours& panels, colour::PalettePage page)
{
    switch (page) {
    case colour::PalettePage::Two:
        return panels.two;
    case colour::PalettePage::Three:
        return panels.three;
    case colour::PalettePage::Four:
        return panels.four;
    case colour::PalettePage::Fifteen:
        return panels.fifteen;
    case colour::PalettePage::Vga:
        break;
    }
    return {};
}

colour::ColourWord& PanelOf(colour::PanelColours& panels, colour::PalettePage page, std::size_t index)
{
    const std::span<colour::ColourWord> colours = PageColours(panels, page);
    if (index >= colours.size())
        throw std::out_of_range("the palette page has no panel " + std::to_string(index));
    return colours[index];
}

} // namespace

colour::ColourWord ViewModel::PanelColour(colour::PalettePage page, std::size_t index) const
{
    colour::PanelColours panels = document_.panels;
    return PanelOf(panels, page, index);
}

void ViewModel::SetPanelColour(colour::PalettePage page, std::size_t index, colour::ColourWord c)
{
    PanelOf(document_.panels, page, index) = c;
}

void ViewModel::SetBars(int rotation, int red, int green, int blue)
{
    document_.adjust.rotation = rotation;
    document_.adjust.red = red;
    document_.adjust.green = green;
    document_.adjust.blue = blue;
}

void ViewModel::ResetColours()
{
    document_.page = colour::PalettePage::Vga;
    SetBars(0, 0, 0, 0);
}

void ViewModel::SetLoadedPalette(std::optional<exporter::LoadedPalette> palette)
{
    document_.loadedPalette = std::move(palette);
    if (document_.loadedPalette)
        document_.page = colour::PalettePage::Vga;
}

bool ViewModel::GoesDeep() const
{
    const fractals::View* view = CatalogueView();
    return view != nullptr && exporter::DrawsDeep(*view);
}

void ViewModel::Navigate(const std::function<void(engine::Region&)>& sixByte,
                         const std::function<deep::DeepRegion(const deep::DeepRegion&)>& deepStep)
{
    if (document_.deepRegion) {
        SetDeep(deepStep(*document_.deepRegion));
        return;
    }
    const engine::Region before = document_.region;
    sixByte(document_.region);
    if (!GoesDeep() || SixByteHolds(document_.region))
        return;
    // The 6-byte step would have blurred or lost the place: the picture shown
    // continues exactly in deep mode; `region` keeps the nearest 6-byte one.
    // A deep step that fails (past the engine's reach) leaves the view as it was.
    document_.region = before;
    SetDeep(deepStep(ToDeep(before)));
}

void ViewModel::SetDeep(const deep::DeepRegion& d)
{
    if (const std::optional<engine::Region> shallow = ToSixByte(d)) {
        document_.region = *shallow;
        document_.deepRegion.reset();
    } else {
        // The region keeps a 6-byte neighbour of the view while 6 bytes reach it.
        if (const std::optional<engine::Region> nearest = NearestSixByte(d))
            document_.region = *nearest;
        document_.deepRegion = d;
    }
}

void ViewModel::CalculationStarts()
{
    if (!revisiting_)
        history_.Record({document_.region, valueFunction_, colourOffset_, document_.parameters, document_.deepRegion});
    revisiting_ = false;
}

void ViewModel::CalculationDone(std::vector<std::uint8_t> buffer) { history_.KeepCurrent(std::move(buffer)); }

std::shared_ptr<const std::vector<std::uint8_t>> ViewModel::Step(int step)
{
    const HistoryView& view = history_.Step(step);
    document_.region = view.region;
    document_.deepRegion = view.deep;
    valueFunction_ = view.valueFunction;
    colourOffset_ = view.colourOffset;
    document_.parameters = view.parameters;
    auto kept = history_.CurrentBuffer();
    revisiting_ = kept == nullptr;
    return kept;
}

std::vector<engine::Region> ViewModel::ZoomMovieViews() const
{
    std::vector<engine::Region> views;
    if (history_.Size() == 0)
        return views;
    // Backwards from the current view while the formula stays the same.
    for (std::size_t i = history_.CurrentIndex() + 1; i-- > 0;) {
        const HistoryView& v = history_.At(i);
        if (v.valueFunction != valueFunction_)
            break;
        views.push_back(v.region);
    }
    std::reverse(views.begin(), views.end());
    return views;
}

std::pair<std::optional<deep::DeepRegion>, std::optional<deep::DeepRegion>> ViewModel::ZoomMovieDeepEnds() const
{
    if (history_.Size() == 0)
        return {};
    std::size_t first = history_.CurrentIndex();
    while (first > 0 && history_.At(first - 1).valueFunction == valueFunction_)
        --first;
    return {history_.At(first).deep, history_.At(history_.CurrentIndex()).deep};
}

std::vector<fractals::Parameters> ViewModel::ZoomMovieParameters() const
{
    std::vector<fractals::Parameters> parameters;
    if (history_.Size() == 0)
        return parameters;
    for (std::size_t i = history_.CurrentIndex() + 1; i-- > 0;) {
        const HistoryView& v = history_.At(i);
        if (v.valueFunction != valueFunction_)
            break;
        parameters.push_back(v.parameters);
    }
    std::reverse(parameters.begin(), parameters.end());
    return parameters;
}

void ViewModel::Home()
{
    if (entry_ == nullptr)
        return;
    document_.region = view::Home(*entry_);
    document_.deepRegion.reset();
    valueFunction_ = entry_->valueFunction;
    colourOffset_ = static_cast<std::uint8_t>(entry_->colourOffset);
    revisiting_ = false;
}

} // namespace view
