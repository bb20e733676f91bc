// The View and Options menu commands that show, hide and dock the boxes.
#include "window/FormBasicTamoSet.h"

#include <QAction>
#include <QGroupBox>
#include <QHBoxLayout>

// The check marks are the layout: every command sets them and derives the
// boxes' visibility and sides from them. Hidden boxes leave the docking
// row's space to the View box; the window keeps its size.

void TFormBasicTamoSet::InvertCheck(QAction* item)
{
    if (sender() != item)
        item->setChecked(!item->isChecked());
}

void TFormBasicTamoSet::ApplyLayout()
{
    GroupBox2->setVisible(MMControl->isChecked());
    GroupBox4->setVisible(MMPosition->isChecked());
}

void TFormBasicTamoSet::MMMinimalClick()
{
    MMControl->setChecked(false);
    MMPosition->setChecked(false);
    ApplyLayout();
}

void TFormBasicTamoSet::MMControlClick()
{
    InvertCheck(MMControl);
    ApplyLayout();
}

void TFormBasicTamoSet::MMPositionClick()
{
    InvertCheck(MMPosition);
    ApplyLayout();
}

void TFormBasicTamoSet::MMFullClick()
{
    MMControl->setChecked(true);
    MMPosition->setChecked(true);
    ApplyLayout();
}

void TFormBasicTamoSet::MMRightControlClick()
{
    InvertCheck(MMRightControl);
    RebuildDocking(); // the sides follow the two Options check marks
}

void TFormBasicTamoSet::MMLeftPositionClick()
{
    InvertCheck(MMLeftPosition);
    RebuildDocking();
}

std::vector<QWidget*> TFormBasicTamoSet::LeftDockedBoxes() const
{
    std::vector<QWidget*> boxes;
    if (MMLeftPosition->isChecked())
        boxes.push_back(GroupBox4);
    if (!MMRightControl->isChecked())
        boxes.push_back(GroupBox2);
    return boxes;
}

std::vector<QWidget*> TFormBasicTamoSet::RightDockedBoxes() const
{
    std::vector<QWidget*> boxes;
    if (MMRightControl->isChecked())
        boxes.push_back(GroupBox2);
    if (!MMLeftPosition->isChecked())
        boxes.push_back(GroupBox4);
    return boxes;
}

void TFormBasicTamoSet::RebuildDocking()
{
    while (DockRow->count() > 0)
        delete DockRow->takeAt(0);
    for (QWidget* w : LeftDockedBoxes())
        DockRow->addWidget(w);
    DockRow->addWidget(GroupBox1, 1);
    const std::vector<QWidget*> right = RightDockedBoxes();
    for (auto it = right.rbegin(); it != right.rend(); ++it)
        DockRow->addWidget(*it);
}
