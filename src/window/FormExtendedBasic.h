// TFormExtendedBasic: the fractal window with a Types box of six formula buttons.
#pragma once

#include <array>

#include "window/FormBasicTamoSet.h"

class QGroupBox;
class QToolButton;

class TFormExtendedBasic : public TFormBasicTamoSet {
    Q_OBJECT
public:
    explicit TFormExtendedBasic(QWidget* parent = nullptr);

    QGroupBox* GroupTypes = nullptr; // "Types"
    QToolButton* SBAL1 = nullptr;
    QToolButton* SBAL2 = nullptr;
    QToolButton* SBAL3 = nullptr;
    QToolButton* SBAL4 = nullptr;
    QToolButton* SBAL5 = nullptr;
    QToolButton* SBAL6 = nullptr;
    QAction* MMTypes = nullptr;

    std::array<QToolButton*, 6> TypeButtons() const { return {SBAL1, SBAL2, SBAL3, SBAL4, SBAL5, SBAL6}; }

    void SBAL1Click() { TypeButtonClick(0); }
    void SBAL2Click() { TypeButtonClick(1); }
    void SBAL3Click() { TypeButtonClick(2); }
    void SBAL4Click() { TypeButtonClick(3); }
    void SBAL5Click() { TypeButtonClick(4); }
    void SBAL6Click() { TypeButtonClick(5); }
    virtual void MMTypesClick();
    // The base commands, then the Types box.
    void MMMinimalClick() override;
    void MMFullClick() override;

protected:
    // Ignored entirely while a calculation runs; otherwise installs the
    // button's kernel and region and calculates.
    void TypeButtonClick(int index);
    std::vector<QWidget*> LeftDockedBoxes() const override;
    void AttachThumbnails() override;
};
