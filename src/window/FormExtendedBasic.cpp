// The Types box, its buttons and the View menu item that belongs to it.
#include "window/FormExtendedBasic.h"

#include <QAction>
#include <QGroupBox>
#include <QMenu>
#include <QToolButton>

#include "fractals/Catalogue.h"
#include "window/ErrorReport.h"
#include "window/ThumbnailRenderer.h"

TFormExtendedBasic::TFormExtendedBasic(QWidget* parent) : TFormBasicTamoSet(parent)
{
    GroupTypes = new QGroupBox("Types", centralWidget());
    GroupTypes->setObjectName("GroupTypes");
    GroupTypes->setFixedWidth(84);
    QToolButton** buttons[6] = {&SBAL1, &SBAL2, &SBAL3, &SBAL4, &SBAL5, &SBAL6};
    for (int k = 0; k < 6; ++k) {
        auto* b = new QToolButton(GroupTypes);
        b->setObjectName(QString("SBAL%1").arg(k + 1));
        b->setGeometry(8, 16 + 56 * k, 73, 57);
        b->setAutoRaise(true);
        b->setIconSize(QSize(ThumbnailRenderer::kWidth, ThumbnailRenderer::kHeight));
        connect(b, &QToolButton::clicked, this, errors::GuardedSlot([this, k] { TypeButtonClick(k); }));
        *buttons[k] = b;
    }

    // View ▸ Types, between Position and Full (the window's menu table).
    AddMenuItems(MenuGroup::Types);
    MMTypes = MenuAction("MMTypes");

    RebuildDocking();
}

void TFormExtendedBasic::TypeButtonClick(int index)
{
    if (Calculating.load() || Entry == nullptr)
        return;
    const fractals::TypeButton& type = Entry->types[static_cast<std::size_t>(index)];
    ValueFunction = type.kernel;
    type.region.ApplyTo(ViewRegion);
    StartCalculation();
}

std::vector<QWidget*> TFormExtendedBasic::LeftDockedBoxes() const
{
    std::vector<QWidget*> boxes = TFormBasicTamoSet::LeftDockedBoxes();
    boxes.push_back(GroupTypes); // innermost: between the Position box and the picture
    return boxes;
}

void TFormExtendedBasic::AttachThumbnails()
{
    if (Entry == nullptr)
        return;
    const std::array<QToolButton*, 6> buttons = TypeButtons();
    for (std::size_t k = 0; k < buttons.size(); ++k)
        ThumbnailRenderer::Attach(QString("%1.%2").arg(Entry->instance, Entry->types[k].button), buttons[k]);
}

// Showing and hiding the Types box belongs with the other layout commands.
void TFormExtendedBasic::MMTypesClick()
{
    InvertCheck(MMTypes);
    GroupTypes->setVisible(MMTypes->isChecked());
}

void TFormExtendedBasic::MMMinimalClick()
{
    TFormBasicTamoSet::MMMinimalClick();
    GroupTypes->hide();
    MMTypes->setChecked(false);
}

void TFormExtendedBasic::MMFullClick()
{
    TFormBasicTamoSet::MMFullClick();
    GroupTypes->show();
    MMTypes->setChecked(true);
}
