// The components of the fractal window, as its form lists them: menus, the View, Control and Position boxes.
#pragma once

#include <array>
#include <cstdint>

class QAction;
class QFrame;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QProgressBar;
class QPushButton;
class QSlider;
class QTabWidget;
class QTimer;
class QToolButton;
class QWidget;
class ColourPanel;
class PictureView;

namespace window {
class TUrlLink;
}

// Built by the window's constructor (FormBasicTamoSet.cpp), owned by the
// window through Qt's parents; the window class derives from it, so each
// component is reached by its name as a member of the window.
struct FormBasicTamoSetUi {
    QMenuBar* MMenu = nullptr;
    QMenu* MMFile = nullptr;
    QAction* MMSave = nullptr;
    QAction* MMPov = nullptr;
    QAction* MMClose = nullptr;
    QMenu* Books1 = nullptr;
    QAction* MMFractalsBook = nullptr;
    QAction* MMPlanetsBook = nullptr;
    QMenu* MMEdit = nullptr;
    QAction* MMCopytoclipboard = nullptr;
    QMenu* MMMove = nullptr;
    QAction* MMUp = nullptr;
    QAction* MMDown = nullptr;
    QAction* MMLeft = nullptr;
    QAction* MMRight = nullptr;
    QAction* MMZoomIn = nullptr;
    QAction* MMZoomOut = nullptr;
    QMenu* MMView = nullptr;
    QAction* MMMinimal = nullptr;
    QAction* MMControl = nullptr;
    QAction* MMPosition = nullptr;
    QAction* MMFull = nullptr;
    QMenu* MMOptions = nullptr;
    QAction* MMRightControl = nullptr;
    QAction* MMLeftPosition = nullptr;
    QMenu* MMWeb = nullptr;
    QAction* MMHP = nullptr;
    QAction* MMPovLink = nullptr;
    QAction* MMMandel = nullptr;
    QAction* MM3D = nullptr;
    QMenu* Help1 = nullptr;
    QAction* MMOver = nullptr;
    QAction* MMGettingStarted = nullptr;
    QAction* MMTheViewBox = nullptr;
    QAction* MMTheControlBox = nullptr;
    QAction* MMThePositionBox = nullptr;
    QAction* About1 = nullptr;

    QGroupBox* GroupBox1 = nullptr; // "View"
    PictureView* PB = nullptr;
    QFrame* Bevel0 = nullptr;
    QFrame* Bevel1 = nullptr;
    QFrame* Bevel2 = nullptr;
    QFrame* Bevel3 = nullptr;
    QToolButton* SBZoom = nullptr;
    QToolButton* SBCancel = nullptr;

    QGroupBox* GroupBox2 = nullptr; // "Control"
    QToolButton* BitBtnUp = nullptr;
    QToolButton* BitBtnLeft = nullptr;
    QToolButton* BitBtnRight = nullptr;
    QToolButton* BitBtnDown = nullptr;
    QToolButton* BitBtnZIN = nullptr;
    QToolButton* BitBtnZOUT = nullptr;
    QLabel* LabR = nullptr;
    QLabel* LabG = nullptr;
    QLabel* LabB = nullptr;
    QSlider* TBR = nullptr;
    QSlider* TBG = nullptr;
    QSlider* TBB = nullptr;
    QPushButton* ButReset = nullptr;
    QLabel* LabPal = nullptr;
    QSlider* TB1 = nullptr;
    QTabWidget* PagCPal = nullptr;
    QWidget* TSVga = nullptr;
    QWidget* TS2 = nullptr;
    QWidget* TS3 = nullptr;
    QWidget* TS4 = nullptr;
    QWidget* TS15 = nullptr;
    QLabel* LabVGADefault = nullptr;
    ColourPanel* Panel21 = nullptr;
    ColourPanel* Panel22 = nullptr;
    ColourPanel* Panel31 = nullptr;
    ColourPanel* Panel32 = nullptr;
    ColourPanel* Panel33 = nullptr;
    ColourPanel* Panel41 = nullptr;
    ColourPanel* Panel42 = nullptr;
    ColourPanel* Panel43 = nullptr;
    ColourPanel* Panel44 = nullptr;
    std::array<ColourPanel*, 15> PanelX{}; // PanelX1 ... PanelX15
    QProgressBar* ProgBar = nullptr;

    QGroupBox* GroupBox4 = nullptr; // "Position"
    QLabel* LabX1 = nullptr;
    QLabel* LabX2 = nullptr;
    QLabel* LabY1 = nullptr;
    QLabel* LabY2 = nullptr;
    QLineEdit* EdX1 = nullptr;
    QLineEdit* EdX2 = nullptr;
    QLineEdit* EdY1 = nullptr;
    QLineEdit* EdY2 = nullptr;
    QLabel* LabEX = nullptr;
    QLabel* LabEY = nullptr;
    QPushButton* BBEdit = nullptr;
    QPushButton* BBCancel = nullptr;
    QPushButton* BBSubmit = nullptr;

    QTimer* Timer1 = nullptr;
    window::TUrlLink* Web = nullptr; // opens the Web and Books pages

    // Options menu items behind their own separator, the Vga page's file name
    // and the one-click way back to the built-in table (PaletteFiles.cpp).
    QAction* MMLoadPalette = nullptr;
    QAction* MMSavePalette = nullptr;
    QLabel* LabPaletteName = nullptr;
    QPushButton* ButBuiltInVga = nullptr;
    // Move → Back and Forward (HistoryNavigation.cpp).
    QAction* MMBack = nullptr;
    QAction* MMForward = nullptr;
    // File → Open View, Save View, Save Picture with View (ViewFiles.cpp).
    QAction* MMOpenView = nullptr;
    QAction* MMSaveView = nullptr;
    QAction* MMSavePictureView = nullptr;
    // File → Render Picture, Make Zoom Movie (FormLongJobs.cpp).
    QAction* MMRenderPicture = nullptr;
    QAction* MMZoomMovie = nullptr;
    // The row the boxes are docked in (Layout.cpp).
    QHBoxLayout* DockRow = nullptr;
};
