// What a fractal window shows and what can be done to it, free of any widget.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "engine/PointSets.h"
#include "engine/Region.h"
#include "export/ViewFile.h"
#include "view/History.h"

namespace fractals {
struct View;
struct WindowEntry;
}

namespace view {

// The view document of one window (its region is the one every command
// changes), the formula and colour offset a calculation draws with, and the
// window's history of calculated views. A command changes the region (see
// Navigation.h); the window then starts a calculation, which records the view
// (CalculationStarts) and, once complete, keeps its picture (CalculationDone).
class ViewModel {
public:
    explicit ViewModel(PictureStore& store = PictureStore::Instance()) : history_(store) {}
    ViewModel(const ViewModel&) = delete;
    ViewModel& operator=(const ViewModel&) = delete;

    // The window's catalogue entry and its opening view: formula, region, colour offset.
    void Open(const fractals::WindowEntry& entry);
    const fractals::WindowEntry* Entry() const { return entry_; }

    engine::Region& Region() { return document_.region; }
    const engine::Region& Region() const { return document_.region; }
    engine::TValueFunction& ValueFunction() { return valueFunction_; }
    engine::TValueFunction ValueFunction() const { return valueFunction_; }
    std::uint8_t& ColourOffset() { return colourOffset_; }
    std::uint8_t ColourOffset() const { return colourOffset_; }
    // The formula's parameters (the window's own until a view or Apply changes them).
    const fractals::Parameters& Parameters() const { return document_.parameters; }

    // ---- colours: the palette page, its panels' colours, the bars and a palette file ----
    colour::PalettePage Page() const { return document_.page; }
    const colour::PanelColours& Panels() const { return document_.panels; }
    // The bars' rotation and colour offsets, with the colour offset of the formula.
    colour::ColourAdjust Adjust() const;
    const std::optional<exporter::LoadedPalette>& LoadedPalette() const { return document_.loadedPalette; }
    // The palette of the page shown; a loaded palette stands where the VGA table stands.
    colour::TPaletteTable Palette() const { return document_.Palette(); }
    void SetPage(colour::PalettePage page) { document_.page = page; }
    // The colour of a panel of a gradient page. Throws std::out_of_range for a
    // panel the page does not have (the Vga page has none).
    colour::ColourWord PanelColour(colour::PalettePage page, std::size_t index) const;
    void SetPanelColour(colour::PalettePage page, std::size_t index, colour::ColourWord c);
    void SetBars(int rotation, int red, int green, int blue);
    // The Vga page, no rotation and no offsets; the panels and a loaded palette stay.
    void ResetColours();
    // A palette file in place of the VGA table, the Vga page then shown (its
    // colours are seen at once); none: the built-in table again, the page stays.
    void SetLoadedPalette(std::optional<exporter::LoadedPalette> palette);

    // The catalogue view the formula draws: the window's opening view first
    // (a type button may share its formula), or null.
    const fractals::View* CatalogueView() const;
    // The document with its view id, region, colour offset and colours
    // current. Throws std::runtime_error when the formula has
    // no view in the catalogue.
    exporter::ViewDocument Document() const;
    // A document of this window's views, colours included, in place of the
    // current view. Throws std::logic_error for a view of another window.
    void OpenDocument(const exporter::ViewDocument& doc);

    // ---- deep mode: past what the 6-byte region places (steps in DeepNavigation.h) ----
    // Whether the deep engine draws the window's formula (the quadratic windows).
    bool GoesDeep() const;
    // The deep region drawn in place of Region(), or none.
    const std::optional<deep::DeepRegion>& Deep() const { return document_.deepRegion; }
    // A command: the 6-byte step as always while the region it leaves still
    // holds the picture (or the window cannot go deep); past that the deep
    // step from the exact region shown; a deep result the 6-byte region
    // holds again returns to it. Failures leave what the step leaves.
    void Navigate(const std::function<void(engine::Region&)>& sixByte,
                  const std::function<deep::DeepRegion(const deep::DeepRegion&)>& deepStep);
    // A deep region (typed corners) in place of the region (which keeps its
    // nearest 6-byte one), or the 6-byte one when it holds the picture.
    void SetDeep(const deep::DeepRegion& d);
    void ClearDeep() { document_.deepRegion.reset(); }

    // ---- history ----
    const ViewHistory& History() const { return history_; }
    ViewHistory& History() { return history_; }
    // The view a calculation goes to becomes the current one of the history,
    // unless it redraws a view of the history.
    void CalculationStarts();
    // The finished picture of the current view.
    void CalculationDone(std::vector<std::uint8_t> buffer);
    bool CanStep(int step) const { return history_.CanStep(step); }
    // Goes `step` views back (-1) or forward (+1): region, formula and colour
    // offset become that view's. Returns its kept picture, or null when it must
    // be calculated again (the calculation then redraws a view of the history).
    std::shared_ptr<const std::vector<std::uint8_t>> Step(int step);
    // The views a zoom movie goes through: the history from its first entry to
    // the current one, from the last change of formula on.
    std::vector<engine::Region> ZoomMovieViews() const;
    // The deep regions of the movie's first and last view (none where it is a 6-byte one).
    std::pair<std::optional<deep::DeepRegion>, std::optional<deep::DeepRegion>> ZoomMovieDeepEnds() const;
    // The parameters of each of those views: a movie moves them from view to view.
    std::vector<fractals::Parameters> ZoomMovieParameters() const;
    // Back to the region, formula and colour offset the window opened with (a new view of the history).
    void Home();

private:
    exporter::ViewDocument document_;
    engine::TValueFunction valueFunction_ = nullptr;
    std::uint8_t colourOffset_ = 0;
    const fractals::WindowEntry* entry_ = nullptr;
    ViewHistory history_;
    bool revisiting_ = false; // the next calculation redraws a view of the history
};

} // namespace view
