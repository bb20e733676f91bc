// Palette pages, colour panels, the colour track bars and recolouring without recalculation.
#include "window/FormBasicTamoSet.h"

#include <QSignalBlocker>
#include <QSlider>
#include <QTabWidget>

#include "window/ColourPanel.h"
#include "window/PictureView.h"

colour::ColourAdjust TFormBasicTamoSet::CurrentAdjust() const
{
    return colour::ColourAdjust{ColourOffset, TB1->value(), TBR->value(), TBG->value(), TBB->value()};
}

colour::PanelColours TFormBasicTamoSet::CurrentPanelColours() const
{
    colour::PanelColours c;
    c.two = {Panel21->Colour(), Panel22->Colour()};
    c.three = {Panel31->Colour(), Panel32->Colour(), Panel33->Colour()};
    c.four = {Panel41->Colour(), Panel42->Colour(), Panel43->Colour(), Panel44->Colour()};
    for (int k = 0; k < 15; ++k)
        c.fifteen[k] = PanelX[k]->Colour();
    return c;
}

colour::PalettePage TFormBasicTamoSet::CurrentPalettePage() const
{
    QWidget* current = PagCPal->currentWidget();
    if (current == TS2)
        return colour::PalettePage::Two;
    if (current == TS3)
        return colour::PalettePage::Three;
    if (current == TS4)
        return colour::PalettePage::Four;
    if (current == TS15)
        return colour::PalettePage::Fifteen;
    return colour::PalettePage::Vga;
}

void TFormBasicTamoSet::PagCPalChange()
{
    const colour::PalettePage page = CurrentPalettePage();
    Palette = colour::BuildPaletteForPage(page, CurrentPanelColours());
    // A loaded palette file stands where the VGA table stands.
    if (page == colour::PalettePage::Vga && LoadedPalette)
        Palette = LoadedPalette->table;
    Recolour();
}

void TFormBasicTamoSet::Panel21Click(ColourPanel* sender)
{
    const std::optional<QColor> chosen = window::InstalledDialogs().ChooseColour(this, ColorDialog1Colour);
    if (chosen && chosen->isValid()) {
        ColorDialog1Colour = *chosen;
        sender->SetColour(colour::MakeColour(chosen->red(), chosen->green(), chosen->blue()));
    }
    PagCPalChange();
}

void TFormBasicTamoSet::ButResetClick()
{
    {
        const QSignalBlocker page(PagCPal);
        PagCPal->setCurrentWidget(TSVga);
    }
    for (QSlider* s : {TBR, TBG, TBB, TB1}) {
        const QSignalBlocker bar(s);
        s->setValue(0);
    }
    PagCPalChange();
}

void TFormBasicTamoSet::TBRChange()
{
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
