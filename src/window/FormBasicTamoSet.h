// TFormBasicTamoSet: the fractal window every catalogue window derives from.
#pragma once

#include <QColor>
#include <QImage>
#include <QMainWindow>
#include <QString>

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "colour/Palette.h"
#include "colour/PaletteFile.h"
#include "engine/IterBuffer.h"
#include "engine/PointSets.h"
#include "engine/Region.h"
#include "view/ViewModel.h"
#include "window/FormBasicTamoSetUi.h"
#include "window/Services.h"

class QCloseEvent;
class QDialog;
class QDragEnterEvent;
class QDropEvent;
class QMouseEvent;
class TCalcOnForm;

namespace window {
class LongJob;
struct PictureChoice;
struct MovieChoice;
}

bool IsTrueColourDisplay(); // the display shows at least 24 bits per pixel

// Components in FormBasicTamoSetUi.h, what is shown in the view model (view/ViewModel.h); the
// class joins them. Each section names the file that holds its code.
class TFormBasicTamoSet : public QMainWindow, public FormBasicTamoSetUi {
    Q_OBJECT

public:
    explicit TFormBasicTamoSet(QWidget* parent = nullptr);
    ~TFormBasicTamoSet() override;

    // ---- state (FormBasicTamoSet.cpp, FormCreate) ----
    bool TrueColour = false;
    bool StartPending = false;
    // What the window shows; the references name the model's fields as the window always has.
    view::ViewModel Model;
    std::uint8_t& ColourOffset = Model.ColourOffset();
    engine::Region& ViewRegion = Model.Region(); // XWidth, YHeight, XStart, YStart
    engine::TValueFunction& ValueFunction = Model.ValueFunction();
    view::ViewHistory& History = Model.History();
    QImage WorkBitmap;
    engine::IterBuffer IterBuffer;
    int PaintedRow = -1;
    int AnchorX = 0, AnchorY = 0;
    int SelRight = 0, SelBottom = 0, SelLeft = 0, SelTop = 0;
    bool Selecting = false;
    bool SelectionDone = false;
    colour::TPaletteTable Palette;
    QColor ColorDialog1Colour{Qt::black}; // ColorDialog1 opens with the last colour confirmed in it
    const fractals::WindowEntry* Entry = nullptr; // null for a bare base window

    // Tests: above 0, Timer1's interval in ms for windows created from then on, instead of 1000.
    static int Timer1IntervalHook;

    // ---- region, creation, control states (FormBasicTamoSet.cpp) ----
    void SetRegionBySize(engine::Extended xStart, engine::Extended xWidth, engine::Extended yStart,
                         engine::Extended yHeight);
    void SetRegionByCorners(engine::Extended x1, engine::Extended x2, engine::Extended y1, engine::Extended y2);
    void EnableControls(bool enabled), EnableRGBControls(bool enabled);
    void PositionBoxIdle(), PositionBoxEditing(), PositionBoxDisabled();

    // ---- menus: one table of the items, their captions, handlers and keys (WindowMenus.cpp) ----
    enum class MenuGroup { Window, Types, JuliaExplorer }; // the last two: added by the windows that have them
    void AddMenuItems(MenuGroup group); // each in its table place among the items already there
    QAction* MenuAction(const char* name) const; // an item of the table by its objectName, or null
    void SetPictureKeys(bool on); // the picture's keys on their items, or none

    // ---- calculation (Calculation.cpp) ----
    // Flags and row counter written only by the window (the worker's part in PublishRow).
    bool IsCalculating() const { return Calculating.load(); }
    // The running worker stops after the row it is computing; never undone.
    void RequestStop() { StopRequested.store(true); }
    bool StopWasRequested() const { return StopRequested.load(); }
    // The last row the worker has published (acquire); -1 before the first.
    int LastComputedRow() const { return ComputedRow.load(std::memory_order_acquire); }
    // Processes events until the worker's run ends (it meets this thread each row), then frees it.
    void WaitForWorker();
    const engine::TBasicSet* CurrentPointSet() const { return PointSet.get(); }
    void FormActivate(), StartCalculation(), Timer1Timer(), FinishCalculation();
    virtual void CreateCalcThread();
    void PaintRow(int row), PaintAllRows();

    // ---- colours: the model's, shown by the controls (Colours.cpp) ----
    colour::ColourAdjust CurrentAdjust() const;
    colour::PanelColours CurrentPanelColours() const;
    colour::PalettePage CurrentPalettePage() const;
    void PagCPalChange(), ButResetClick(), TBRChange(), ShowColours(); // ShowColours: the model's, no handler runs
    void Panel21Click(ColourPanel* sender);
    virtual void Recolour();
    // The picture the view shows; before the first calculation, the buffer painted.
    QImage ShownPicture() const;

    // ---- palette files (PaletteFiles.cpp) ----
    void BuildPaletteControls();
    void MMLoadPaletteClick(), MMSavePaletteClick(), ButBuiltInVgaClick();
    // Reads the whole file, then puts it for the VGA table, Vga page shown. Throws colour::PaletteFileError.
    void LoadPaletteFile(const QString& path);
    // The palette file in place of the VGA table (the model's); nothing for the built-in table.
    std::optional<colour::PaletteFile> LoadedPaletteFile() const;
    // Puts `palette` in place of the VGA table (nothing: the built-in one) and recolours.
    void SetLoadedPalette(std::optional<colour::PaletteFile> palette);
    QString RunOpenDialog(const SaveDialogSettings& settings);

    // ---- output (Output.cpp) ----
    void BitBtnSaveClick(), MMCopytoclipboardClick(), MMExportBMRTClick();
    virtual void MMPovClick();
    QString RunSaveDialog(const SaveDialogSettings& settings);

    // ---- navigation, selection, Position box (Navigation.cpp; the steps are view/Navigation.h) ----
    virtual void BitBtnZINClick(), BitBtnZOUTClick(), BitBtnUpClick(), BitBtnDownClick();
    virtual void BitBtnLeftClick(), BitBtnRightClick();
    virtual void PBMouseDown(Qt::MouseButton button, int x, int y);
    virtual void PBMouseMove(int x, int y);
    virtual void SBZoomClick(), SBCancelClick();
    virtual void BBEditClick(), BBCancelClick(), BBSubmitClick();
    // Keys on the picture: arrows move, '+' and '-' zoom, Escape cancels a selection.
    virtual void PBKeyDown(int key);
    void BeginSelection(int x, int y), TrackSelection(int x, int y);
    void EndSelection(), CancelSelection();
    void SetSelectionRect(int left, int top, int right, int bottom);
    void ShowSelectionFrame(bool visible), SetSelectionFrameStyle(bool lowered);

    // ---- layout (Layout.cpp) ----
    virtual void MMMinimalClick(), MMControlClick(), MMPositionClick(), MMFullClick();
    virtual void MMRightControlClick(), MMLeftPositionClick();
    // Shows each box exactly when its View menu item is checked.
    void ApplyLayout();
    // Re-adds the docked boxes: left edge first, the View box in the middle, right edge last.
    void RebuildDocking();

    // ---- help, web, books (Links.cpp) ----
    // Web's address set and the browser launched on it; a page's address comes from the services.
    void OpenUrl(const QString& address);
    void OpenSitePage(window::SitePage page);
    virtual void MMOverClick(), MMGettingStartedClick(), MMTheViewBoxClick(), MMTheControlBoxClick();
    virtual void MMThePositionBoxClick(), About1Click();
    virtual void MMHPClick(), MMPovLinkClick(), MMMandelClick(), MM3DClick();
    virtual void MMFractalsBookClick(), MMPlanetsBookClick();

    // ---- history: Back and Forward (HistoryNavigation.cpp) ----
    void MMBackClick(), MMForwardClick();
    // The view `step` places away: its kept picture, or calculated when dropped; nothing while calculating.
    void GoToHistory(int step);
    // Back and Forward enabled exactly when they have somewhere to go.
    void UpdateHistoryActions(bool enabled);
    // The Position labels show the region of the picture shown.
    void ShowRegionInLabels();

    // ---- view files: Open View, Save View, Save Picture with View (ViewFiles.cpp) ----
    // The catalogue view the window shows (its formula), or null.
    const fractals::View* CurrentCatalogueView() const;
    // The window's view as a document; a document of this window's views applied and calculated.
    exporter::ViewDocument CurrentViewDocument() const;
    void ApplyViewDocument(const exporter::ViewDocument& doc);
    void MMOpenViewClick(), MMSaveViewClick();
    // The picture shown (the pixels Save writes) as a PNG carrying the view in its "Quillon view" chunk.
    void MMSavePictureViewClick();
    // The items that wait while the window calculates, as Save does.
    void EnableViewFileActions(bool enabled);
    // Opens the file's view in the window it belongs to; a bad file throws before any window changes.
    void OpenViewFile(const QString& name);
    // A running calculation is ended (its picture unfinished, kept nowhere) before another view is applied.
    void InterruptCalculation();

    // ---- long jobs: Render Picture, Make Zoom Movie (FormLongJobs.cpp) ----
    void MMRenderPictureClick(), MMZoomMovieClick();
    // Start the job on its own thread; a reason it cannot start throws.
    void StartRenderPicture(const window::PictureChoice& choice), StartZoomMovie(const window::MovieChoice& choice);
    // The views a zoom movie goes through (view::ViewModel::ZoomMovieViews).
    std::vector<engine::Region> ZoomMovieViews() const;
    // The window's render or movie, until the next one starts; null before the first.
    window::LongJob* CurrentLongJob() const { return BackgroundJob.get(); }
    // Enabled when `enabled` (no calculation) and no job runs; the movie needs two views.
    void UpdateLongJobActions(bool enabled);

protected:
    // ---- the worker protocol's state (Calculation.cpp); a test subclass may drive it ----
    std::atomic<int> ComputedRow{-1}; // release by the worker, acquire by the timer
    std::atomic<bool> Calculating{false};
    std::atomic<bool> StopRequested{false};
    // Ends the worker like StopRequested for a view that replaces it; cleared once it has ended.
    std::atomic<bool> InterruptRequested{false};
    // The formula's point set, installed by the creation handler; each worker gets a copy.
    std::unique_ptr<engine::TBasicSet> PointSet;

    // ---- creation and destruction (FormBasicTamoSet.cpp) ----
    // The base creation handler; derived windows install their formula and call it.
    void FormCreate();
    // A catalogue window's whole creation handler: formula, region, colour offset around the base one.
    void FormCreate(const fractals::WindowEntry& entry);
    void FormCreate(const char* instance);
    // Puts the catalogue thumbnails on the window's own picture buttons.
    virtual void AttachThumbnails() {}
    // Frees the point set once no calculation uses it any more.
    void FormDestroy();

    // ---- layout (Layout.cpp) ----
    // Boxes docked at each edge, from that edge inwards.
    virtual std::vector<QWidget*> LeftDockedBoxes() const, RightDockedBoxes() const;
    // Inverts a check mark, unless the item's own trigger runs the handler (the toolkit did it then).
    void InvertCheck(QAction* item);

    // ---- events (FormBasicTamoSet.cpp; closeEvent in FormLongJobs.cpp) ----
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    // Closing the window cancels its long job and waits for its thread.
    void closeEvent(QCloseEvent* e) override;

private:
    // ---- calculation (Calculation.cpp) ----
    // Run by the worker after storing `row`: publishes it; false once a stop was requested.
    bool PublishRow(int row);
    std::array<std::uint32_t, 256> ColourTable() const;
    void PaintRowWith(QImage& image, int row, const std::array<std::uint32_t, 256>& pixels) const;
    // The whole picture painted from IterBuffer in the current colours.
    QImage PaintedPicture() const;
    // The worker of the last calculation, kept until the next one starts or the window goes.
    std::unique_ptr<TCalcOnForm> Worker;

    // ---- components (FormBasicTamoSet.cpp; BuildMenus: WindowMenus.cpp; Install…: the helper's file) ----
    void BuildMenus(), BuildViewBox(), BuildControlBox(), BuildPositionBox();
    void InstallKeyHints(), InstallPictureGestures(), InstallSharpPicture();
    void RecordCalculationStart(), KeepFinishedPicture(); // HistoryNavigation.cpp
    // ---- long jobs (FormLongJobs.cpp) ----
    void StartLongJob(std::unique_ptr<window::LongJob> job);
    bool LongJobFree() const; // no calculation runs and no job
    void OpenJobDialog(QDialog* dialog); // window-modal; it goes when closed
    // Throws what a job started during a calculation is told; `what` names the job.
    void RefuseWhileCalculating(const char* what) const;
    std::unique_ptr<window::LongJob> BackgroundJob;
};
