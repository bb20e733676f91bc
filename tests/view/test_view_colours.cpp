// The view model's colours: palette page, panels, bars and palette file, and the document they go into.
#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>

#include "colour/Palette.h"
#include "fractals/Catalogue.h"
#include "view/Navigation.h"
#include "view/ViewModel.h"

namespace {

using colour::PalettePage;

// A table no page builds: a grey ramp.
colour::TPaletteTable IndexTable()
{
    colour::TPaletteTable t;
    for (int k = 0; k < 256; ++k)
        t.Red[k] = t.Green[k] = t.Blue[k] = k;
    return t;
}

class ViewColours : public ::testing::Test {
protected:
    void SetUp() override { m.Open(*fractals::FindWindow("FormJU3")); }
    view::PictureStore store;
    view::ViewModel m{store};
};

} // namespace

TEST_F(ViewColours, EachGradientPageHasItsPanelsAndNoMore)
{
    const struct {
        PalettePage page;
        std::size_t panels;
    } pages[] = {{PalettePage::Vga, 0}, {PalettePage::Two, 2}, {PalettePage::Three, 3}, {PalettePage::Four, 4},
                 {PalettePage::Fifteen, 15}};
    for (const auto& p : pages) {
        SCOPED_TRACE(static_cast<int>(p.page));
        for (std::size_t i = 0; i < p.panels; ++i) {
            const colour::ColourWord c = colour::MakeColour(static_cast<int>(i), 2, 3);
            m.SetPanelColour(p.page, i, c);
            EXPECT_EQ(m.PanelColour(p.page, i), c);
        }
        EXPECT_THROW(m.SetPanelColour(p.page, p.panels, colour::kRed), std::out_of_range);
        EXPECT_THROW((void)m.PanelColour(p.page, p.panels), std::out_of_range);
    }
    // Each page wrote its own colours: the last panel of page two is not the first of page three.
    EXPECT_EQ(m.Panels().two[1], colour::MakeColour(1, 2, 3));
    EXPECT_EQ(m.Panels().three[0], colour::MakeColour(0, 2, 3));
    EXPECT_EQ(m.Panels().fifteen[14], colour::MakeColour(14, 2, 3));
}

TEST_F(ViewColours, ThePaletteIsThatOfThePageShownWithThePanelsColours)
{
    EXPECT_EQ(m.Palette(), colour::DefaultVgaPalette);
    m.SetPanelColour(PalettePage::Two, 0, colour::kRed);
    EXPECT_EQ(m.Palette(), colour::DefaultVgaPalette) << "the panels of a page not shown change nothing";
    m.SetPage(PalettePage::Two);
    colour::TPaletteTable two;
    colour::BuildPalette2(colour::kRed, colour::kWhite, two);
    EXPECT_EQ(m.Palette(), two);
    m.SetPage(PalettePage::Fifteen);
    EXPECT_EQ(m.Palette(), colour::BuildPaletteForPage(PalettePage::Fifteen, colour::PanelColours{}));
}

TEST_F(ViewColours, APaletteFileStandsForTheVgaTableAndShowsItsPage)
{
    m.SetPage(PalettePage::Four);
    m.SetLoadedPalette(exporter::LoadedPalette{"odd", IndexTable()});
    EXPECT_EQ(m.Page(), PalettePage::Vga) << "its colours are seen at once";
    EXPECT_EQ(m.Palette(), IndexTable());
    m.SetPage(PalettePage::Three);
    EXPECT_EQ(m.Palette(), colour::BuildPaletteForPage(PalettePage::Three, m.Panels()));
    m.SetLoadedPalette(std::nullopt);
    EXPECT_EQ(m.Page(), PalettePage::Three) << "the built-in table again; the page stays";
    m.SetPage(PalettePage::Vga);
    EXPECT_EQ(m.Palette(), colour::DefaultVgaPalette);
}

TEST_F(ViewColours, ResetKeepsPanelsAndPaletteFileAndTheBarsKeepTheFormulasOffset)
{
    const int offset = m.ColourOffset();
    m.SetBars(5, 10, -20, 30);
    EXPECT_EQ(m.Adjust(), (colour::ColourAdjust{offset, 5, 10, -20, 30}));
    m.SetPanelColour(PalettePage::Three, 2, colour::kGreen);
    m.SetLoadedPalette(exporter::LoadedPalette{"odd", IndexTable()});
    m.SetPage(PalettePage::Three);

    m.ResetColours();
    EXPECT_EQ(m.Page(), PalettePage::Vga);
    EXPECT_EQ(m.Adjust(), (colour::ColourAdjust{offset, 0, 0, 0, 0}));
    EXPECT_EQ(m.PanelColour(PalettePage::Three, 2), colour::kGreen);
    ASSERT_TRUE(m.LoadedPalette().has_value());
    EXPECT_EQ(m.Palette(), IndexTable());
}

TEST_F(ViewColours, TheDocumentCarriesTheColoursAndOpeningOneBringsThemBack)
{
    m.SetPage(PalettePage::Fifteen);
    m.SetPanelColour(PalettePage::Fifteen, 7, colour::kYellow);
    m.SetBars(9, -1, 2, -3);
    m.SetLoadedPalette(exporter::LoadedPalette{"odd", IndexTable()});
    m.SetPage(PalettePage::Fifteen);
    const exporter::ViewDocument saved = m.Document();
    EXPECT_EQ(saved.page, PalettePage::Fifteen);
    EXPECT_EQ(saved.panels.fifteen[7], colour::kYellow);
    EXPECT_EQ(saved.adjust, (colour::ColourAdjust{m.ColourOffset(), 9, -1, 2, -3}));
    ASSERT_TRUE(saved.loadedPalette.has_value());
    EXPECT_EQ(saved.loadedPalette->name, "odd");

    // Another view's colours, then the saved one again: every colour comes back.
    exporter::ViewDocument other = exporter::DefaultView(*fractals::FindView("FormJU3"));
    m.OpenDocument(other);
    EXPECT_EQ(m.Page(), PalettePage::Vga);
    EXPECT_FALSE(m.LoadedPalette().has_value());
    EXPECT_EQ(m.Panels(), colour::PanelColours{});
    m.OpenDocument(saved);
    EXPECT_EQ(m.Document(), saved);
}

TEST_F(ViewColours, BackAndForwardLeaveTheColoursAsTheyAre)
{
    m.CalculationStarts();
    m.CalculationDone(std::vector<std::uint8_t>(4, 1));
    view::ZoomIn(m.Region());
    m.CalculationStarts();
    m.SetPage(PalettePage::Two);
    m.SetBars(1, 2, 3, 4);
    ASSERT_TRUE(m.CanStep(-1));
    (void)m.Step(-1);
    EXPECT_EQ(m.Page(), PalettePage::Two);
    EXPECT_EQ(m.Adjust().rotation, 1);
}
