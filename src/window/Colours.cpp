// Palette pages, colour panels, the colour track bars and recolouring without recalculation.
#include "window/FormBasicTamoSet.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTabWidget>

#include "window/ColourPanel.h"
#include "window/PictureView.h"

namespace {

using colour::PalettePage;

// The panels of each gradient page, in the order of the page's colours.
std::vector<ColourPanel*> PagePanels(const TFormBasicTamoSet& w, PalettePage page)
{
    switch (page) {
    case PalettePage::Two:
        return {w.Panel21, w.Panel22};
    case PalettePage::Three:
        return {w.Panel31, w.Panel32, w.Panel33};
    case PalettePage::Four:
        return {w.Panel41, w.Panel42, w.Panel43, w.Panel44};
    case PalettePage::Fifteen:
        return {w.PanelX.begin(), w.PanelX.end()};
    case PalettePage::Vga:
        break;
    }
    return {};
}

constexpr PalettePage kGradientPages[] = {PalettePage::Two, PalettePage::Three, PalettePage::Four,
                                          PalettePage::Fifteen};

QWidget* PageWidget(const TFormBasicTamoSet& w, PalettePage page)
{
    QWidget* const pages[] = {w.TSVga, w.TS2, w.TS3, w.TS4, w.TS15};
    return pages[static_cast<int>(page)];
}

} // namespace

colour::ColourAdjust TFormBasicTamoSet::CurrentAdjust() const { return Model.Adjust(); }

colour::PanelColours TFormBasicTamoSet::CurrentPanelColours() const { return Model.Panels(); }

colour::PalettePage TFormBasicTamoSet::CurrentPalettePage() const { return Model.Page(); }

void TFormBasicTamoSet::ShowColours()
{
    {
        const QSignalBlocker block(PagCPal);
        PagCPal->setCurrentWidget(PageWidget(*this, Model.Page()));
    }
    for (const PalettePage page : kGradientPages) {
        const std::vector<ColourPanel*> panels = PagePanels(*this, page);
        for (std::size_t i = 0; i < panels.size(); ++i)
            panels[i]->SetColour(Model.PanelColour(page, i));
    }
    const colour::ColourAdjust adjust = Model.Adjust();
    const std::pair<QSlider*, int> bars[] = {
        {TB1, adjust.rotation}, {TBR, adjust.red}, {TBG, adjust.green}, {TBB, adjust.blue}};
    for (const auto& [bar, value] : bars) {
        const QSignalBlocker block(bar);
        bar->setValue(value);
    }
    const auto& loaded = Model.LoadedPalette();
    LabPaletteName->setText(loaded ? QString::fromStdString(loaded->name) : QString());
    LabPaletteName->setToolTip(LabPaletteName->text());
    LabPaletteName->setVisible(loaded.has_value());
    LabVGADefault->setVisible(!loaded);
    ButBuiltInVga->setVisible(loaded.has_value());
}

void TFormBasicTamoSet::PagCPalChange()
{
    // The page the tabs show becomes the model's; the other colours are the model's already.
    for (const PalettePage page : {PalettePage::Vga, PalettePage::Two, PalettePage::Three, PalettePage::Four,
                                   PalettePage::Fifteen})
        if (PagCPal->currentWidget() == PageWidget(*this, page))
            Model.SetPage(page);
    Palette = Model.Palette();
    Recolour();
}

void TFormBasicTamoSet::Panel21Click(ColourPanel* sender)
{
    const std::optional<QColor> chosen = window::InstalledDialogs().ChooseColour(this, ColorDialog1Colour);
    if (chosen && chosen->isValid()) {
        ColorDialog1Colour = *chosen;
        for (const PalettePage page : kGradientPages) {
            const std::vector<ColourPanel*> panels = PagePanels(*this, page);
            for (std::size_t i = 0; i < panels.size(); ++i)
                if (panels[i] == sender)
                    Model.SetPanelColour(page, i, colour::MakeColour(chosen->red(), chosen->green(), chosen->blue()));
        }
        ShowColours();
    }
    PagCPalChange();
}

void TFormBasicTamoSet::ButResetClick()
{
    Model.ResetColours();
    ShowColours();
    PagCPalChange();
}

void TFormBasicTamoSet::TBRChange()
{
    Model.SetBars(TB1->value(), TBR->value(), TBG->value(), TBB->value());
    Recolour();
}

void TFormBasicTamoSet::Recolour()
{
    // Without direct colours the pixels stay as they are; the new colours
    // reach them with the next calculation.
    if (!TrueColour)
        return;
    // Before the first calculation hands over its picture, the view paints
    // the uniform start picture in the current colours itself.
    if (PB->Picture().isNull()) {
        PB->update();
        return;
    }
    // From the values, not the old pixels, so adjustments never accumulate.
    PB->SetPicture(PaintedPicture());
}

QImage TFormBasicTamoSet::ShownPicture() const
{
    if (!PB->Picture().isNull())
        return PB->Picture();
    return PaintedPicture();
}
