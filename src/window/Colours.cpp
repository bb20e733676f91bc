// Palette pages, colour panels, the colour track bars and recolouring without recalculation.
#include "window/FormBasicTamoSet.h"

#include <QColorDialog>
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

void TFormBasicTamoSet::PagCPalChange()
{
    colour::PalettePage page = colour::PalettePage::Vga;
    QWidget* current = PagCPal->currentWidget();
    if (current == TS2)
        page = colour::PalettePage::Two;
    else if (current == TS3)
        page = colour::PalettePage::Three;
    else if (current == TS4)
        page = colour::PalettePage::Four;
    else if (current == TS15)
        page = colour::PalettePage::Fifteen;
    Palette = colour::BuildPaletteForPage(page, CurrentPanelColours());
    Recolour();
}

void TFormBasicTamoSet::Panel21Click(ColourPanel* sender)
{
    std::optional<QColor> chosen;
    if (ColourChoiceHook) {
        chosen = ColourChoiceHook(ColorDialog1Colour);
    } else {
        QColorDialog dialog(this);
        dialog.setObjectName("ColorDialog1");
        dialog.setCurrentColor(ColorDialog1Colour);
        if (dialog.exec() == QDialog::Accepted)
            chosen = dialog.currentColor();
    }
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
