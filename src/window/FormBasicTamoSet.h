// TFormBasicTamoSet: the fractal window every catalogue window derives from.
#pragma once

#include <QColor>
#include <QImage>
#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "colour/Palette.h"
#include "colour/PaletteFile.h"
#include "engine/IterBuffer.h"
#include "engine/PointSets.h"
#include "engine/Region.h"
#include "view/ViewModel.h"
#include "window/Services.h"

class QAction;
class QDialog;
class QCloseEvent;
class QDragEnterEvent;
class QDropEvent;
class QFrame;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QMimeData;
class QMouseEvent;
class QProgressBar;
class QPushButton;
class QSlider;
class QTabWidget;
class QTimer;
class QToolButton;

namespace fractals {
struct WindowEntry;
struct View;
}
namespace exporter {
struct ViewDocument;
}

namespace window {
class TUrlLink;
enum class SitePage;
class LongJob;
struct PictureChoice;
struct MovieChoice;
}

class ColourPanel;
class PictureView;
class TCalcOnForm;

// The display shows at least 24 bits per pixel.
bool IsTrueColourDisplay();

class TFormBasicTamoSet : public QMainWindow {
    Q_OBJECT

public:
    explicit TFormBasicTamoSet(QWidget* parent = nullptr);
    ~TFormBasicTamoSet() override;

    // Each section names the file that holds its code.

    // ---- components (built in FormBasicTamoSet.cpp) ----
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

    // ---- fields (set in FormBasicTamoSet.cpp, FormCreate) ----
    bool TrueColour = false;
    bool StartPending = false;
    // What the window shows, and its history; the names below are the model's
    // fields under the names the window's code has always used.
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

    // The colour ColorDialog1 opens with: the last one confirmed in it.
    QColor ColorDialog1Colour{Qt::black};

    // The catalogue entry the window was built from (null for a bare base window).
    const fractals::WindowEntry* Entry = nullptr;

    // ---- test hooks: when set they replace the modal dialogs (Colours.cpp, Output.cpp) ----
    // Returns the confirmed colour or nothing for a cancel.
    static std::function<std::optional<QColor>(const QColor& initial)> ColourChoiceHook;
    // Returns the chosen file name or an empty string for a cancel.
    static std::function<QString(const SaveDialogSettings&)> SaveFileHook;
    // When above 0, Timer1's interval in ms for windows created from then on,
    // instead of 1000: tests that do not test the painting rhythm shorten it.
    static int Timer1IntervalHook;

    // ---- region, creation, control states (FormBasicTamoSet.cpp) ----
    void SetRegionBySize(engine::Extended xStart, engine::Extended xWidth, engine::Extended yStart,
                         engine::Extended yHeight);
    void SetRegionByCorners(engine::Extended x1, engine::Extended x2, engine::Extended y1, engine::Extended y2);
    void EnableControls(bool enabled);
    void EnableRGBControls(bool enabled);
    void PositionBoxIdle();
    void PositionBoxEditing();
    void PositionBoxDisabled();

    // ---- calculation (Calculation.cpp) ----
    // The worker protocol: the flags and the row counter are written only by
    // the window's own methods, on the interface thread or, for the worker's
    // part, in PublishRow.
    bool IsCalculating() const { return Calculating.load(); }
    // The running worker stops after the row it is computing; never undone.
    void RequestStop() { StopRequested.store(true); }
    bool StopWasRequested() const { return StopRequested.load(); }
    // The last row the worker has published (acquire); -1 before the first.
    int LastComputedRow() const { return ComputedRow.load(std::memory_order_acquire); }
    // Processes events until the window's worker has ended its run, then
    // frees it. The worker meets this thread once per row, so a plain wait
    // would never return.
    void WaitForWorker();
    const engine::TBasicSet* CurrentPointSet() const { return PointSet.get(); }
    void FormActivate();
    void StartCalculation();
    virtual void CreateCalcThread();
    void Timer1Timer();
    void FinishCalculation();
    void PaintRow(int row);
    void PaintAllRows();

    // ---- colours (Colours.cpp) ----
    colour::ColourAdjust CurrentAdjust() const;
    colour::PanelColours CurrentPanelColours() const;
    void PagCPalChange();
    void Panel21Click(ColourPanel* sender);
    void ButResetClick();
    void TBRChange();
    virtual void Recolour();
    // The picture the view shows; before the first calculation, the buffer painted.
    QImage ShownPicture() const;

    // ---- palette files (PaletteFiles.cpp) ----
    // Options menu items behind their own separator, and the Vga page's file
    // name and the one-click way back to the built-in table.
    QAction* MMLoadPalette = nullptr;
    QAction* MMSavePalette = nullptr;
    QLabel* LabPaletteName = nullptr;
    QPushButton* ButBuiltInVga = nullptr;
    // Replaces the open dialog when set: returns the chosen file name or an empty string for a cancel.
    static std::function<QString(const SaveDialogSettings&)> OpenFileHook;
    void BuildPaletteControls();
    void MMLoadPaletteClick();
    void MMSavePaletteClick();
    // Reads the file and, only once it has been read whole, puts it in place
    // of the VGA table and shows the Vga page. Throws colour::PaletteFileError.
    void LoadPaletteFile(const QString& path);
    // The palette file in place of the VGA table; nothing for the built-in table.
    const std::optional<colour::PaletteFile>& LoadedPaletteFile() const { return LoadedPalette; }
    // Puts `palette` in place of the VGA table (nothing: the built-in one) and recolours.
    void SetLoadedPalette(std::optional<colour::PaletteFile> palette);
    void ButBuiltInVgaClick();
    colour::PalettePage CurrentPalettePage() const;
    QString RunOpenDialog(const SaveDialogSettings& settings);
    static QString RunOpenDialog(QWidget* parent, const SaveDialogSettings& settings);

    // ---- output (Output.cpp) ----
    void BitBtnSaveClick();
    void MMCopytoclipboardClick();
    void MMExportBMRTClick();
    virtual void MMPovClick();
    QString RunSaveDialog(const SaveDialogSettings& settings);

    // ---- navigation, selection, Position box (Navigation.cpp) ----
    virtual void BitBtnZINClick();
    virtual void BitBtnZOUTClick();
    virtual void BitBtnUpClick();
    virtual void BitBtnDownClick();
    virtual void BitBtnLeftClick();
    virtual void BitBtnRightClick();
    virtual void PBMouseDown(Qt::MouseButton button, int x, int y);
    virtual void PBMouseMove(int x, int y);
    virtual void SBZoomClick();
    virtual void SBCancelClick();
    virtual void BBEditClick();
    virtual void BBCancelClick();
    virtual void BBSubmitClick();
    // Keys pressed while the picture has the focus: arrows move, '+' and '-'
    // zoom, Escape cancels a selection.
    virtual void PBKeyDown(int key);
    void BeginSelection(int x, int y);
    void TrackSelection(int x, int y);
    void EndSelection();
    void CancelSelection();
    void SetSelectionRect(int left, int top, int right, int bottom);
    void ShowSelectionFrame(bool visible);
    void SetSelectionFrameStyle(bool lowered);

    // ---- layout (Layout.cpp) ----
    virtual void MMMinimalClick();
    virtual void MMControlClick();
    virtual void MMPositionClick();
    virtual void MMFullClick();
    virtual void MMRightControlClick();
    virtual void MMLeftPositionClick();
    // Shows each box exactly when its View menu item is checked.
    void ApplyLayout();
    // Re-adds the docked boxes to the window's row: left edge first, the View
    // box filling the middle, right edge last.
    void RebuildDocking();

    // ---- help, web, books (Links.cpp) ----
    // Sets Web's address and launches the browser on it.
    void OpenUrl(const QString& address);
    // OpenUrl with the page's address, as the application's services give it.
    void OpenSitePage(window::SitePage page);
    virtual void MMOverClick();
    virtual void MMGettingStartedClick();
    virtual void MMTheViewBoxClick();
    virtual void MMTheControlBoxClick();
    virtual void MMThePositionBoxClick();
    virtual void About1Click();
    virtual void MMHPClick();
    virtual void MMPovLinkClick();
    virtual void MMMandelClick();
    virtual void MM3DClick();
    virtual void MMFractalsBookClick();
    virtual void MMPlanetsBookClick();

    // ---- history: Back and Forward (HistoryNavigation.cpp) ----
    QAction* MMBack = nullptr;
    QAction* MMForward = nullptr;
    void MMBackClick();
    void MMForwardClick();
    // Shows the view `step` places away: its kept picture at once, or a new
    // calculation when the picture was dropped. Nothing while calculating.
    void GoToHistory(int step);
    // Back and Forward enabled exactly when they have somewhere to go.
    void UpdateHistoryActions(bool enabled);
    // Sets the Position labels to the region of the picture shown.
    void ShowRegionInLabels();

    // ---- view files: Open View, Save View, Save Picture with View (ViewFiles.cpp) ----
    QAction* MMOpenView = nullptr;
    QAction* MMSaveView = nullptr;
    QAction* MMSavePictureView = nullptr;
    // The catalogue view the window shows (its formula), or null.
    const fractals::View* CurrentCatalogueView() const;
    // The window's view as a document, and a document of this window's views
    // applied to it (region, formula, colours), then calculated.
    exporter::ViewDocument CurrentViewDocument() const;
    void ApplyViewDocument(const exporter::ViewDocument& doc);
    void MMOpenViewClick();
    void MMSaveViewClick();
    // Writes the picture shown (the pixels Save writes) as a PNG that carries
    // the window's view in its "Quillon view" text chunk; atomically.
    void MMSavePictureViewClick();
    // The items that wait while the window calculates, as Save does.
    void EnableViewFileActions(bool enabled);
    // Reads the file and opens its view in the window it belongs to; a bad
    // file throws before any window changes.
    void OpenViewFile(const QString& name);
    // The same from anywhere (the launcher, a drop, the command line): the
    // window is shown and raised through the services, or is `origin` when
    // nothing is installed and it is that window. Returns the window.
    static TFormBasicTamoSet* OpenViewFileInItsWindow(const QString& name, TFormBasicTamoSet* origin = nullptr);
    // The open dialog of Open View, parented to `parent`; then the file opened as above.
    static void OpenViewWithDialog(QWidget* parent, TFormBasicTamoSet* origin = nullptr);
    // A name a view may be read from: .qview, or .png (a picture Quillon wrote).
    static bool IsViewFileName(const QString& name);
    // Opens each file's view once the events at hand are handled (after a
    // drop, after start-up); a bad file is reported and the others still open.
    static void OpenViewFilesSoon(const QStringList& names, TFormBasicTamoSet* origin = nullptr);
    // The local view files of a drop opened soon as above; false when it holds none.
    static bool OpenDroppedViews(const QMimeData& data, TFormBasicTamoSet* origin = nullptr);
    // A calculation that runs is ended (its picture is left unfinished and
    // kept nowhere) before another view is applied; nothing when idle.
    void InterruptCalculation();

    // ---- long jobs: Render Picture, Make Zoom Movie (LongJobs.cpp, RenderPictureDialog.cpp, ZoomMovieDialog.cpp) ----
    QAction* MMRenderPicture = nullptr;
    QAction* MMZoomMovie = nullptr;
    void MMRenderPictureClick();
    void MMZoomMovieClick();
    // Start the job on its own thread; a reason it cannot start throws.
    void StartRenderPicture(const window::PictureChoice& choice);
    void StartZoomMovie(const window::MovieChoice& choice);
    // The views a zoom movie goes through: the history from its first entry
    // to the current one, from the last change of formula on (a movie stays
    // in one type). Fewer than two: nothing to zoom between.
    std::vector<engine::Region> ZoomMovieViews() const;
    // The window's render or movie, until the next one starts; null before the first.
    window::LongJob* CurrentLongJob() const { return BackgroundJob.get(); }
    // Both items enabled when `enabled` (no calculation), no job runs and, for
    // the movie, the history holds two views to zoom between.
    void UpdateLongJobActions(bool enabled);

protected:
    // ---- the worker protocol's state (Calculation.cpp); a test subclass may drive it ----
    std::atomic<int> ComputedRow{-1}; // release by the worker, acquire by the timer
    std::atomic<bool> Calculating{false};
    std::atomic<bool> StopRequested{false};
    // Ends the running worker like StopRequested, but only for the view that
    // replaces its calculation (InterruptCalculation); cleared once it has ended.
    std::atomic<bool> InterruptRequested{false};
    // The formula's point set, installed by the creation handler; the worker
    // reads it (each pool row on its own copy).
    std::unique_ptr<engine::TBasicSet> PointSet;

    // ---- creation and destruction (FormBasicTamoSet.cpp) ----
    // The base creation handler; derived windows install their formula and call it.
    void FormCreate();
    // The whole creation handler of a catalogue window: its formula, region
    // and colour offset, around the base handler.
    void FormCreate(const fractals::WindowEntry& entry);
    void FormCreate(const char* instance);
    // Puts the catalogue thumbnails on the window's own picture buttons.
    virtual void AttachThumbnails() {}
    // Frees the point set once no calculation uses it any more.
    void FormDestroy();

    // ---- layout (Layout.cpp) ----
    // Boxes docked at each edge, from that edge inwards.
    virtual std::vector<QWidget*> LeftDockedBoxes() const;
    virtual std::vector<QWidget*> RightDockedBoxes() const;
    // Inverts a check mark, unless the item's own trigger runs the handler:
    // the toolkit has inverted it then.
    void InvertCheck(QAction* item);

    // ---- events (FormBasicTamoSet.cpp) ----
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    // Closing the window cancels its long job and waits for its thread (LongJobs.cpp).
    void closeEvent(QCloseEvent* e) override;

    QHBoxLayout* DockRow = nullptr;

private:
    // ---- calculation (Calculation.cpp) ----
    // Run by the worker after it has stored row `row`: publishes the row and
    // tells whether to go on (false once a stop was requested).
    bool PublishRow(int row);
    std::array<std::uint32_t, 256> ColourTable() const;
    void PaintRowWith(QImage& image, int row, const std::array<std::uint32_t, 256>& pixels) const;
    // The whole picture painted from IterBuffer in the current colours.
    QImage PaintedPicture() const;
    // The worker of the last calculation, kept until the next one starts or
    // the window goes.
    std::unique_ptr<TCalcOnForm> Worker;

    // ---- components (FormBasicTamoSet.cpp) ----
    // Each menu of the menu bar is built in one place, in BuildMenus.
    void BuildMenus();
    void BuildViewBox();
    void BuildControlBox();
    void BuildPositionBox();
    void BuildHistoryMenu();
    // Called as a calculation starts and as it completes (HistoryNavigation.cpp).
    void RecordCalculationStart();
    void KeepFinishedPicture();
    bool Centred = false; // placed at the screen centre on its first showing

    // ---- palette files (PaletteFiles.cpp) ----
    std::optional<colour::PaletteFile> LoadedPalette;

    // ---- long jobs (LongJobs.cpp) ----
    void StartLongJob(std::unique_ptr<window::LongJob> job);
    // No calculation runs and no job: a new one may start.
    bool LongJobFree() const;
    // Opens a job's settings dialog window-modal; it goes when closed.
    void OpenJobDialog(QDialog* dialog);
    // Throws the message a job started during a calculation gets; `what` says what the user wanted to do.
    void RefuseWhileCalculating(const char* what) const;
    std::unique_ptr<window::LongJob> BackgroundJob;
};
