// The view model: a window's document, its history of calculated views, Home and the zoom movie's views.
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "fractals/Catalogue.h"
#include "view/Navigation.h"
#include "view/ViewModel.h"

namespace {

std::vector<std::uint8_t> Picture(std::uint8_t v) { return std::vector<std::uint8_t>(16, v); }

// One calculation as the window runs it: recorded at its start, kept once complete.
void Calculate(view::ViewModel& m, std::uint8_t picture)
{
    m.CalculationStarts();
    m.CalculationDone(Picture(picture));
}

const fractals::View& ViewNamed(const char* id)
{
    const fractals::View* v = fractals::FindView(id);
    if (v == nullptr)
        throw std::logic_error(id);
    return *v;
}

} // namespace

TEST(ViewModel, OpensWithTheCatalogueEntryAndNamesItsView)
{
    view::PictureStore store;
    for (const char* instance : {"FormJU3", "FormRN4", "Form1", "FormTamo2"}) {
        view::ViewModel m(store);
        const fractals::WindowEntry& entry = *fractals::FindWindow(instance);
        m.Open(entry);
        EXPECT_EQ(m.Region(), entry.region.Make()) << instance;
        EXPECT_EQ(m.ValueFunction(), entry.valueFunction) << instance;
        EXPECT_EQ(m.ColourOffset(), entry.colourOffset) << instance;
        const exporter::ViewDocument doc = m.Document();
        EXPECT_EQ(doc.viewId, instance) << "a type button sharing the formula must not win";
        EXPECT_EQ(doc.adjust.colourOffset, entry.colourOffset);
    }
    view::ViewModel bare(store);
    EXPECT_EQ(bare.CatalogueView(), nullptr);
    EXPECT_THROW((void)bare.Document(), std::runtime_error);
}

TEST(ViewModel, OpeningADocumentTakesItsRegionFormulaAndOffsetOnlyForItsOwnWindow)
{
    view::PictureStore store;
    view::ViewModel m(store);
    m.Open(*fractals::FindWindow("FormRN4"));
    exporter::ViewDocument doc = exporter::DefaultView(ViewNamed("FormRN4.SBAL3"));
    view::ZoomIn(doc.region);
    doc.adjust.colourOffset = 7;
    doc.adjust.rotation = 12;
    m.OpenDocument(doc);
    EXPECT_EQ(m.Region(), doc.region);
    EXPECT_EQ(m.ValueFunction(), ViewNamed("FormRN4.SBAL3").function);
    EXPECT_EQ(m.ColourOffset(), 7);
    const exporter::ViewDocument back = m.Document();
    EXPECT_EQ(back.viewId, "FormRN4.SBAL3");
    EXPECT_EQ(back, doc) << "a document opened is the document the window gives back";

    const engine::Region before = m.Region();
    EXPECT_THROW(m.OpenDocument(exporter::DefaultView(ViewNamed("FormJU3"))), std::logic_error);
    EXPECT_EQ(m.Region(), before);
    EXPECT_EQ(m.ValueFunction(), ViewNamed("FormRN4.SBAL3").function);
}

TEST(ViewModel, BackAndForwardReturnKeptPicturesAndRecalculationsAreNotRecordedTwice)
{
    view::PictureStore store;
    view::ViewModel m(store);
    m.Open(*fractals::FindWindow("FormJU3"));
    const engine::Region start = m.Region();
    Calculate(m, 0);
    view::ZoomIn(m.Region());
    const engine::Region zoomed = m.Region();
    Calculate(m, 1);
    view::MoveUp(m.Region());
    Calculate(m, 2);
    ASSERT_EQ(m.History().Size(), 3u);
    EXPECT_FALSE(m.CanStep(1));

    auto kept = m.Step(-1);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(*kept, Picture(1));
    EXPECT_EQ(m.Region(), zoomed);
    kept = m.Step(-1);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(*kept, Picture(0));
    EXPECT_EQ(m.Region(), start);
    EXPECT_FALSE(m.CanStep(-1));
    EXPECT_TRUE(m.CanStep(2));

    // A dropped picture: the step asks for a calculation, which redraws the
    // history's view instead of recording a new one.
    view::PictureStore tiny(16);
    view::ViewModel small(tiny);
    small.Open(*fractals::FindWindow("FormJU3"));
    Calculate(small, 5);
    view::ZoomOut(small.Region());
    Calculate(small, 6); // the store keeps one picture: the first goes
    EXPECT_EQ(small.Step(-1), nullptr);
    Calculate(small, 5);
    EXPECT_EQ(small.History().Size(), 2u);
    EXPECT_TRUE(small.CanStep(1)) << "the view ahead stays";
    EXPECT_EQ(small.Step(1), nullptr) << "its picture made room for the one redrawn";

    // A new view after Back drops the views ahead.
    m.Step(1);
    view::MoveLeft(m.Region());
    Calculate(m, 3);
    EXPECT_EQ(m.History().Size(), 3u);
    EXPECT_FALSE(m.CanStep(1));
    EXPECT_THROW(m.Step(1), std::logic_error);
}

TEST(ViewModel, ZoomMovieViewsStopAtTheLastChangeOfFormula)
{
    view::PictureStore store;
    view::ViewModel m(store);
    m.Open(*fractals::FindWindow("FormRN4"));
    EXPECT_TRUE(m.ZoomMovieViews().empty());
    Calculate(m, 0);
    m.ValueFunction() = ViewNamed("FormRN4.SBAL2").function; // a type button
    Calculate(m, 1);
    view::ZoomIn(m.Region());
    const engine::Region first = m.History().At(1).region;
    Calculate(m, 2);
    const std::vector<engine::Region> views = m.ZoomMovieViews();
    ASSERT_EQ(views.size(), 2u);
    EXPECT_EQ(views[0], first);
    EXPECT_EQ(views[1], m.Region());
    // Back to the first view: the movie would end there, in the other formula.
    m.Step(-2);
    EXPECT_EQ(m.ZoomMovieViews().size(), 1u);
}

TEST(ViewModel, HomeReturnsToTheOpeningViewAsANewStepOfTheHistory)
{
    view::PictureStore store;
    view::ViewModel m(store);
    const fractals::WindowEntry& entry = *fractals::FindWindow("FormRN2");
    m.Open(entry);
    Calculate(m, 0);
    m.ValueFunction() = ViewNamed("FormRN2.SBAL4").function;
    view::ZoomIn(m.Region());
    m.ColourOffset() = 3;
    Calculate(m, 1);
    m.Home();
    EXPECT_EQ(m.Region(), entry.region.Make());
    EXPECT_EQ(m.ValueFunction(), entry.valueFunction);
    EXPECT_EQ(m.ColourOffset(), entry.colourOffset);
    Calculate(m, 2);
    EXPECT_EQ(m.History().Size(), 3u) << "Home is a view of its own, Back returns from it";
    EXPECT_TRUE(m.CanStep(-1));
}

// Parameters are part of each view of the history: Back and Forward bring
// them back, an opened document brings its own, and a zoom movie gets those
// of every view it goes through.
TEST(ViewModel, HistoryKeepsEachViewsParameters)
{
    view::PictureStore store;
    view::ViewModel m(store);
    const fractals::WindowEntry& entry = *fractals::FindWindow("FormJU5");
    m.Open(entry);
    const fractals::Parameters own = fractals::DefaultParameters(entry);
    EXPECT_EQ(m.Parameters(), own);
    EXPECT_EQ(m.Document().parameters, own);
    Calculate(m, 1);
    exporter::ViewDocument changed = m.Document();
    changed.parameters.juliaRe = 0.3L;
    changed.parameters.iterations = 999;
    m.OpenDocument(changed);
    Calculate(m, 2);
    exporter::ViewDocument zoomed = m.Document();
    zoomed.region.SetRegionBySize(-0.5L, 1.0L, -0.5L, 1.0L);
    m.OpenDocument(zoomed);
    Calculate(m, 3);
    EXPECT_EQ(m.ZoomMovieParameters(), (std::vector<fractals::Parameters>{own, changed.parameters, changed.parameters}));
    EXPECT_EQ(m.ZoomMovieViews().size(), 3u);
    m.Step(-1);
    m.Step(-1);
    EXPECT_EQ(m.Parameters(), own);
    EXPECT_EQ(m.Document().parameters, own);
    m.Step(1);
    EXPECT_EQ(m.Parameters(), changed.parameters);
    EXPECT_EQ(m.Region(), changed.region);
}

// The Julia explorer's window names its view though it is not one of the 60.
TEST(ViewModel, TheJuliaSetWindowHasItsView)
{
    view::PictureStore store;
    view::ViewModel m(store);
    m.Open(fractals::JuliaExplorerWindow());
    ASSERT_EQ(m.CatalogueView(), &fractals::JuliaExplorerView());
    EXPECT_EQ(m.Document().viewId, "FormJulia");
    EXPECT_EQ(m.Document().parameters.juliaRe, -0.8L);
}
