// Move and zoom commands, the rubber-band selection and the Position box commands.
#include "window/FormBasicTamoSet.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>

#include "window/DeepWindowState.h"
#include "window/PictureView.h"
#include "window/PositionParse.h"
#include "view/DeepNavigation.h"
#include "view/Navigation.h"

using engine::Extended;

namespace {

// Group-box coordinates of a point of the picture: PB lies at 2, 15 in GroupBox1.
constexpr int kPictureLeft = 2;
constexpr int kPictureTop = 15;
// The selection frame is drawn this far inside the two corners.
constexpr int kFrameInset = 4;
// From the frame's group-box coordinates back to the picture's, for the zoom.
constexpr int kZoomLeftOffset = 8;
constexpr int kZoomTopOffset = 16;
// The frame appears once both sides are longer than this.
constexpr int kFrameMinimum = 8;

Extended NumberIn(const QLineEdit* edit)
{
    return window::ParseRegionNumberOrThrow(edit->text().toStdString(), window::SystemDecimalSeparator());
}

// The text as a plain decimal: the locale's separator read as a point.
std::string DecimalIn(const QLineEdit* edit)
{
    std::string text = edit->text().trimmed().toStdString();
    const std::string separator = window::SystemDecimalSeparator();
    if (const std::size_t at = text.find(separator); !separator.empty() && at != std::string::npos)
        text = text.substr(0, at) + '.' + text.substr(at + separator.size());
    return text;
}

} // namespace

void TFormBasicTamoSet::BitBtnZINClick()
{
    Model.Navigate([](engine::Region& r) { view::ZoomIn(r); }, view::DeepZoomIn);
    StartCalculation();
}

void TFormBasicTamoSet::BitBtnZOUTClick()
{
    Model.Navigate([](engine::Region& r) { view::ZoomOut(r); }, view::DeepZoomOut);
    StartCalculation();
}

void TFormBasicTamoSet::BitBtnUpClick()
{
    Model.Navigate([](engine::Region& r) { view::MoveUp(r); }, [](const deep::DeepRegion& d) { return view::DeepMove(d, 0, -1); });
    StartCalculation();
}

void TFormBasicTamoSet::BitBtnDownClick()
{
    Model.Navigate([](engine::Region& r) { view::MoveDown(r); }, [](const deep::DeepRegion& d) { return view::DeepMove(d, 0, 1); });
    StartCalculation();
}

void TFormBasicTamoSet::BitBtnLeftClick()
{
    Model.Navigate([](engine::Region& r) { view::MoveLeft(r); }, [](const deep::DeepRegion& d) { return view::DeepMove(d, -1, 0); });
    StartCalculation();
}

void TFormBasicTamoSet::BitBtnRightClick()
{
    Model.Navigate([](engine::Region& r) { view::MoveRight(r); }, [](const deep::DeepRegion& d) { return view::DeepMove(d, 1, 0); });
    StartCalculation();
}

void TFormBasicTamoSet::PBKeyDown(int key)
{
    // The commands are disabled while a calculation runs; so are their keys.
    if (Calculating.load())
        return;
    switch (key) {
    case Qt::Key_Up:
        BitBtnUpClick();
        break;
    case Qt::Key_Down:
        BitBtnDownClick();
        break;
    case Qt::Key_Left:
        BitBtnLeftClick();
        break;
    case Qt::Key_Right:
        BitBtnRightClick();
        break;
    case Qt::Key_Plus:
        BitBtnZINClick();
        break;
    case Qt::Key_Minus:
        BitBtnZOUTClick();
        break;
    case Qt::Key_Escape:
        CancelSelection();
        break;
    default:
        break;
    }
}

// ---- rubber band ----

void TFormBasicTamoSet::PBMouseDown(Qt::MouseButton button, int x, int y)
{
    if (button == Qt::BackButton || button == Qt::ForwardButton) {
        GoToHistory(button == Qt::BackButton ? -1 : 1);
        return;
    }
    if (Calculating.load())
        return;
    if (button == Qt::RightButton) {
        CancelSelection();
        return;
    }
    if (button != Qt::LeftButton)
        return;
    if (Selecting)
        EndSelection();
    else
        BeginSelection(x + kPictureLeft, y + kPictureTop);
}

void TFormBasicTamoSet::PBMouseMove(int x, int y)
{
    if (Selecting && !Calculating.load())
        TrackSelection(x + kPictureLeft, y + kPictureTop);
}

// The frame keeps its old place and visibility until the mouse moves.
void TFormBasicTamoSet::BeginSelection(int x, int y)
{
    Selecting = true;
    SelectionDone = false;
    SetSelectionFrameStyle(true);
    AnchorX = x;
    AnchorY = y;
    SBZoom->hide();
    SBCancel->hide();
}

void TFormBasicTamoSet::TrackSelection(int x, int y)
{
    SetSelectionRect(std::min(x, AnchorX) + kFrameInset, std::min(y, AnchorY) + kFrameInset,
                     std::max(x, AnchorX) - kFrameInset, std::max(y, AnchorY) - kFrameInset);
}

// The rectangle is the one of the last mouse move, not of the closing click.
void TFormBasicTamoSet::EndSelection()
{
    SetSelectionFrameStyle(false);
    SelectionDone = true;
    Selecting = false;
    SBZoom->move(SBZoom->x(), Bevel3->y() - SBZoom->height());
    SBCancel->move(SBCancel->x(), Bevel3->y() - SBCancel->height());
    const int cancelLeft = Bevel3->x() + Bevel3->width() - SBCancel->width() - Bevel2->width();
    SBCancel->move(cancelLeft, SBCancel->y());
    SBZoom->move(cancelLeft - SBZoom->width(), SBZoom->y());
    SBZoom->show();
    SBCancel->show();
    SBZoom->raise();
    SBCancel->raise();
}

void TFormBasicTamoSet::CancelSelection()
{
    ShowSelectionFrame(false);
    Selecting = false;
    SelectionDone = false;
    SBZoom->hide();
    SBCancel->hide();
}

void TFormBasicTamoSet::SetSelectionRect(int left, int top, int right, int bottom)
{
    Bevel0->move(left, top);
    Bevel1->move(left, top);
    Bevel2->move(right, top);
    Bevel3->move(left, bottom);
    // A widget cannot be narrower than nothing; the fields below keep the
    // rectangle as it is, inverted or not.
    const int height = std::max(0, bottom - top);
    const int width = std::max(0, right - left + 3);
    Bevel0->resize(Bevel0->width(), height);
    Bevel2->resize(Bevel2->width(), height);
    Bevel1->resize(width, Bevel1->height());
    Bevel3->resize(width, Bevel3->height());
    // Not hidden again when the rectangle shrinks.
    if (std::abs(right - left) > kFrameMinimum && std::abs(bottom - top) > kFrameMinimum)
        ShowSelectionFrame(true);
    SelLeft = left;
    SelTop = top;
    SelRight = right;
    SelBottom = bottom;
}

void TFormBasicTamoSet::ShowSelectionFrame(bool visible)
{
    for (QFrame* b : {Bevel0, Bevel1, Bevel2, Bevel3}) {
        // The lines lie over the picture: the mouse must reach PB through
        // them, or the frame would stop following it on its own edges.
        b->setAttribute(Qt::WA_TransparentForMouseEvents);
        b->setVisible(visible);
        if (visible)
            b->raise();
    }
}

void TFormBasicTamoSet::SetSelectionFrameStyle(bool lowered)
{
    for (QFrame* b : {Bevel0, Bevel1, Bevel2, Bevel3})
        b->setFrameShadow(lowered ? QFrame::Sunken : QFrame::Raised);
}

void TFormBasicTamoSet::SBZoomClick()
{
    // The picture is stretched to PB, so the rectangle is converted with
    // PB's size now, after any layout change since it was drawn.
    const view::Band band{SelLeft - kZoomLeftOffset, SelTop - kZoomTopOffset, SelRight - SelLeft, SelBottom - SelTop};
    const int w = PB->width(), h = PB->height();
    Model.Navigate([&](engine::Region& r) { view::ZoomToBand(r, band, w, h); },
                   [&](const deep::DeepRegion& d) { return view::DeepZoomToBand(d, band, w, h); });
    StartCalculation();
}

void TFormBasicTamoSet::SBCancelClick() { CancelSelection(); }

// ---- Position box ----

void TFormBasicTamoSet::BBEditClick()
{
    // Editing starts here: the boxes take a text of any length (the
    // toolkit's default cuts it at 32767 characters without a word).
    for (QLineEdit* e : {EdX1, EdX2, EdY1, EdY2})
        e->setMaxLength(std::numeric_limits<int>::max());
    EdX1->setText(LabX1->text());
    EdX2->setText(LabX2->text());
    EdY1->setText(LabY1->text());
    EdY2->setText(LabY2->text());
    // In deep mode the labels hold the centre and extents: the boxes take them so.
    window::DeepWindowState::Of(*this).edited = Model.Deep();
    PositionBoxEditing();
}

// The edit boxes keep their text.
void TFormBasicTamoSet::BBCancelClick() { PositionBoxIdle(); }

// A bad text or an overflow ends the command where it happens: the values
// stored so far stay, nothing is calculated and the box stays in editing.
void TFormBasicTamoSet::BBSubmitClick()
{
    if (const std::optional<deep::DeepRegion> shown = window::DeepWindowState::Of(*this).edited) {
        // Centre and extents, read exactly; a number left as it was shown keeps
        // its own decimals (an empty height stays square pixels). A region
        // wide enough for 6 bytes is a 6-byte one again.
        const std::array<const QLineEdit*, 4> edits{EdX1, EdY1, EdX2, EdY2};
        const std::array<const QLabel*, 4> labels{LabX1, LabY1, LabX2, LabY2};
        const std::array<const std::string*, 4> kept{&shown->centerX, &shown->centerY, &shown->width, &shown->height};
        std::array<std::string, 4> typed;
        for (std::size_t i = 0; i < edits.size(); ++i) {
            const QString text = edits[i]->text();
            if (!window::ParseRegionNumber(text.toStdString(), window::SystemDecimalSeparator()))
                throw window::InvalidFloatText(text.toStdString());
            typed[i] = text == labels[i]->text() ? *kept[i] : DecimalIn(edits[i]);
        }
        Model.SetDeep(view::FromExtents({typed[0], typed[1], typed[2], typed[3]}));
        StartCalculation();
        return;
    }
    view::TypeRegion(ViewRegion, {[this] { return NumberIn(EdX1); }, [this] { return NumberIn(EdX2); },
                                  [this] { return NumberIn(EdY1); }, [this] { return NumberIn(EdY2); }});
    // Corners closer than 6-byte numbers place them are kept as typed, exactly.
    // Corners with no area or mirrored have no deep view: the 6-byte region
    // stored from them stays, as it always has.
    Model.ClearDeep();
    if (Model.GoesDeep() && !view::SixByteHolds(ViewRegion)) {
        try {
            Model.SetDeep(view::FromCorners({DecimalIn(EdX1), DecimalIn(EdX2), DecimalIn(EdY1), DecimalIn(EdY2)}));
        } catch (const deep::RegionError&) {
        }
    }
    StartCalculation();
}
