// The fractal window's components, creation defaults, region setters and control states.
#include "window/FormBasicTamoSet.h"

#include <QAction>
#include <QBuffer>
#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include <stdexcept>
#include <string>

#include "fractals/Catalogue.h"
#include "window/UrlLink.h"
#include "window/CalcOnForm.h"
#include "window/Centring.h"
#include "window/ColourPanel.h"
#include "window/ErrorReport.h"
#include "window/LongJobs.h"
#include "window/PictureView.h"
#include "window/WindowParameters.h"

int TFormBasicTamoSet::Timer1IntervalHook = 0;

namespace {

template <class W>
W* Place(W* w, const char* name, int x, int y, int width, int height)
{
    w->setObjectName(name);
    w->setGeometry(x, y, width, height);
    return w;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int x, int y, int w, int h)
{
    return Place(new QLabel(text, parent), name, x, y, w, h);
}

QToolButton* MakeArrowButton(QWidget* parent, const char* name, Qt::ArrowType arrow, int x, int y, int w, int h)
{
    auto* b = Place(new QToolButton(parent), name, x, y, w, h);
    b->setArrowType(arrow);
    return b;
}

QSlider* MakeTrackBar(QWidget* parent, const char* name, Qt::Orientation o, int lo, int hi)
{
    auto* s = new QSlider(o, parent);
    s->setObjectName(name);
    s->setRange(lo, hi);
    s->setValue(0);
    s->setSingleStep(1);
    s->setPageStep(2);
    // A vertical bar grows downwards, its minimum at the top.
    if (o == Qt::Vertical)
        s->setInvertedAppearance(true);
    return s;
}

// The value of every cell of a new window's buffer.
constexpr std::uint8_t kStartValue = 28;

} // namespace

bool IsTrueColourDisplay()
{
    // A bitmap compatible with the display, written as a bitmap file: 24 bits
    // a pixel take 30054 bytes. Qt's writer stores every image that is not
    // indexed with 24 bits, so a 16-bit display passes too, and rightly: Qt
    // converts direct colours for any display, which recolouring relies on.
    QByteArray bytes;
    QBuffer file(&bytes);
    file.open(QIODevice::WriteOnly);
    QPixmap bitmap(100, 100);
    bitmap.fill();
    bitmap.save(&file, "BMP");
    return bytes.size() > 30000;
}

TFormBasicTamoSet::TFormBasicTamoSet(QWidget* parent) : QMainWindow(parent)
{
    setObjectName("TFormBasicTamoSet");
    QFont f = font();
    f.setPointSize(8);
    setFont(f);
    resize(748, 471);
    setAcceptDrops(true);
    window::CentreAtFirstShow(*this);

    BuildMenus();
    // Options ▸ Parameters… and its box (WindowParameters.cpp).
    new window::ParametersCommand(
        MenuAction("MMParameters"),
        window::ParametersHost{this, [this] { return Entry ? Entry->caption : nullptr; },
                               [this] { return CurrentViewDocument(); },
                               [this](const exporter::ViewDocument& d) { ApplyViewDocument(d); },
                               [this] { return IsCalculating(); }});

    auto* central = new QWidget(this);
    central->setObjectName("ClientArea");
    DockRow = new QHBoxLayout(central);
    DockRow->setContentsMargins(0, 0, 0, 0);
    DockRow->setSpacing(0);
    setCentralWidget(central);

    BuildViewBox();
    BuildControlBox();
    BuildPositionBox();
    BuildPaletteControls();
    RebuildDocking();
    // Tooltips, the picture's keys in the Move menu, Help ▸ Keys and Mouse.
    InstallKeyHints();

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(Timer1IntervalHook > 0 ? Timer1IntervalHook : 1000);
    connect(Timer1, &QTimer::timeout, this, errors::GuardedSlot([this] { Timer1Timer(); }));

    Web = new window::TUrlLink(this);
    Web->setObjectName("Web");

    PositionBoxIdle();
}

TFormBasicTamoSet::~TFormBasicTamoSet()
{
    // Events are processed while the worker ends: nothing may start another.
    StartPending = false;
    RequestStop();
    hide();
    BackgroundJob.reset();
    FormDestroy();
}

void TFormBasicTamoSet::BuildViewBox()
{
    GroupBox1 = new QGroupBox("View", centralWidget());
    GroupBox1->setObjectName("GroupBox1");
    GroupBox1->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    GroupBox1->installEventFilter(this); // keeps PB at 2, 15 filling the box

    PB = new PictureView(GroupBox1);
    connect(PB, &PictureView::MouseDown, this, [this](Qt::MouseButton b, int x, int y) {
        errors::Guarded([&] { PBMouseDown(b, x, y); });
    });
    connect(PB, &PictureView::MouseMove, this,
            [this](int x, int y) { errors::Guarded([&] { PBMouseMove(x, y); }); });
    connect(PB, &PictureView::KeyDown, this, [this](int key) { errors::Guarded([&] { PBKeyDown(key); }); });
    // Until the first timer tick of the first calculation hands it a picture,
    // the view shows the start picture: every cell kStartValue.
    PB->SetBlankColour([this] { return 0xFF000000u | ColourTable()[kStartValue]; });
    // The wheel, drags and pinches on the picture (owned by the window).
    InstallPictureGestures();
    // View ▸ Sharp Picture and the computation behind it (owned by the window).
    InstallSharpPicture();

    auto bevel = [this](const char* name, QFrame::Shape shape, int w, int h) {
        auto* b = Place(new QFrame(GroupBox1), name, 0, 0, w, h);
        b->setFrameShape(shape);
        b->setFrameShadow(QFrame::Sunken);
        b->hide();
        return b;
    };
    Bevel0 = bevel("Bevel0", QFrame::VLine, 2, 50); // left line
    Bevel1 = bevel("Bevel1", QFrame::HLine, 50, 2); // top line
    Bevel2 = bevel("Bevel2", QFrame::VLine, 3, 50); // right line
    Bevel3 = bevel("Bevel3", QFrame::HLine, 50, 2); // bottom line

    SBZoom = Place(new QToolButton(GroupBox1), "SBZoom", 0, 0, 25, 25);
    SBZoom->setText("+");
    SBZoom->hide();
    connect(SBZoom, &QToolButton::clicked, this, errors::GuardedSlot([this] { SBZoomClick(); }));
    SBCancel = Place(new QToolButton(GroupBox1), "SBCancel", 0, 0, 25, 25);
    SBCancel->setText("X");
    SBCancel->hide();
    connect(SBCancel, &QToolButton::clicked, this, errors::GuardedSlot([this] { SBCancelClick(); }));
}

void TFormBasicTamoSet::BuildControlBox()
{
    GroupBox2 = new QGroupBox("Control", centralWidget());
    GroupBox2->setObjectName("GroupBox2");
    GroupBox2->setFixedWidth(108);
    QWidget* g = GroupBox2;

    BitBtnUp = MakeArrowButton(g, "BitBtnUp", Qt::UpArrow, 38, 18, 32, 24);
    BitBtnLeft = MakeArrowButton(g, "BitBtnLeft", Qt::LeftArrow, 4, 44, 32, 24);
    BitBtnRight = MakeArrowButton(g, "BitBtnRight", Qt::RightArrow, 72, 44, 32, 24);
    BitBtnDown = MakeArrowButton(g, "BitBtnDown", Qt::DownArrow, 38, 70, 32, 24);
    BitBtnZIN = Place(new QToolButton(g), "BitBtnZIN", 4, 98, 49, 24);
    BitBtnZIN->setText("+");
    BitBtnZOUT = Place(new QToolButton(g), "BitBtnZOUT", 55, 98, 49, 24);
    BitBtnZOUT->setText("-");
    connect(BitBtnUp, &QToolButton::clicked, this, errors::GuardedSlot([this] { BitBtnUpClick(); }));
    connect(BitBtnLeft, &QToolButton::clicked, this, errors::GuardedSlot([this] { BitBtnLeftClick(); }));
    connect(BitBtnRight, &QToolButton::clicked, this, errors::GuardedSlot([this] { BitBtnRightClick(); }));
    connect(BitBtnDown, &QToolButton::clicked, this, errors::GuardedSlot([this] { BitBtnDownClick(); }));
    connect(BitBtnZIN, &QToolButton::clicked, this, errors::GuardedSlot([this] { BitBtnZINClick(); }));
    connect(BitBtnZOUT, &QToolButton::clicked, this, errors::GuardedSlot([this] { BitBtnZOUTClick(); }));

    LabR = MakeLabel(g, "LabR", "R", 16, 126, 14, 14);
    LabG = MakeLabel(g, "LabG", "G", 48, 126, 14, 14);
    LabB = MakeLabel(g, "LabB", "B", 80, 126, 14, 14);
    TBR = MakeTrackBar(g, "TBR", Qt::Vertical, -255, 255);
    TBG = MakeTrackBar(g, "TBG", Qt::Vertical, -255, 255);
    TBB = MakeTrackBar(g, "TBB", Qt::Vertical, -255, 255);
    TBR->setGeometry(10, 140, 22, 96);
    TBG->setGeometry(42, 140, 22, 96);
    TBB->setGeometry(74, 140, 22, 96);

    ButReset = Place(new QPushButton("Reset", g), "ButReset", 4, 240, 100, 22);
    connect(ButReset, &QPushButton::clicked, this, errors::GuardedSlot([this] { ButResetClick(); }));

    LabPal = MakeLabel(g, "LabPal", "Palette:", 4, 266, 100, 14);
    TB1 = MakeTrackBar(g, "TB1", Qt::Horizontal, 0, 200);
    TB1->setGeometry(4, 280, 100, 20);
    // One change handler for the four bars. Reset moves them with their
    // signals blocked, so only a user's move (or a position set as a user's
    // move sets it) recolours.
    for (QSlider* s : {TB1, TBR, TBG, TBB})
        connect(s, &QSlider::valueChanged, this, errors::GuardedSlot([this] { TBRChange(); }));

    PagCPal = Place(new QTabWidget(g), "PagCPal", 2, 302, 104, 86);
    PagCPal->setStyleSheet("QTabBar::tab { padding: 1px 3px; }");
    auto page = [this](const char* name, const char* caption) {
        auto* w = new QWidget;
        w->setObjectName(name);
        PagCPal->addTab(w, caption);
        return w;
    };
    TSVga = page("TSVga", "Vga");
    TS2 = page("TS2", "2");
    TS3 = page("TS3", "3");
    TS4 = page("TS4", "4");
    TS15 = page("TS15", "15");
    PagCPal->setCurrentWidget(TSVga);
    LabVGADefault = MakeLabel(TSVga, "LabVGADefault", "Default", 10, 10, 80, 16);

    const colour::PanelColours initial;
    auto panel = [this](QWidget* parent, const QString& name, colour::ColourWord c, int x, int y, int w, int h) {
        auto* p = new ColourPanel(name, c, parent);
        p->setGeometry(x, y, w, h);
        connect(p, &ColourPanel::Clicked, this,
                [this](ColourPanel* sender) { errors::Guarded([&] { Panel21Click(sender); }); });
        return p;
    };
    Panel21 = panel(TS2, "Panel21", initial.two[0], 10, 8, 33, 25);
    Panel22 = panel(TS2, "Panel22", initial.two[1], 45, 8, 33, 25);
    Panel31 = panel(TS3, "Panel31", initial.three[0], 6, 8, 25, 25);
    Panel32 = panel(TS3, "Panel32", initial.three[1], 33, 8, 25, 25);
    Panel33 = panel(TS3, "Panel33", initial.three[2], 60, 8, 25, 25);
    Panel41 = panel(TS4, "Panel41", initial.four[0], 10, 2, 25, 25);
    Panel42 = panel(TS4, "Panel42", initial.four[1], 37, 2, 25, 25);
    Panel43 = panel(TS4, "Panel43", initial.four[2], 10, 29, 25, 25);
    Panel44 = panel(TS4, "Panel44", initial.four[3], 37, 29, 25, 25);
    for (int k = 0; k < 15; ++k)
        PanelX[k] = panel(TS15, QString("PanelX%1").arg(k + 1), initial.fifteen[k], 4 + (k % 5) * 18,
                          2 + (k / 5) * 18, 17, 17);
    connect(PagCPal, &QTabWidget::currentChanged, this, errors::GuardedSlot([this] { PagCPalChange(); }));

    ProgBar = Place(new QProgressBar(g), "ProgBar", 4, 392, 100, 14);
    ProgBar->setRange(0, 767);
    ProgBar->setValue(0);
    ProgBar->setTextVisible(false);
}

void TFormBasicTamoSet::BuildPositionBox()
{
    GroupBox4 = new QGroupBox("Position", centralWidget());
    GroupBox4->setObjectName("GroupBox4");
    GroupBox4->setFixedWidth(101);
    QWidget* g = GroupBox4;

    LabX1 = MakeLabel(g, "LabX1", "", 4, 18, 93, 14);
    LabX2 = MakeLabel(g, "LabX2", "", 4, 34, 93, 14);
    LabY1 = MakeLabel(g, "LabY1", "", 4, 54, 93, 14);
    LabY2 = MakeLabel(g, "LabY2", "", 4, 70, 93, 14);
    LabEX = MakeLabel(g, "LabEX", "X:", 4, 94, 93, 14);
    EdX1 = Place(new QLineEdit(g), "EdX1", 4, 108, 93, 20);
    EdX2 = Place(new QLineEdit(g), "EdX2", 4, 130, 93, 20);
    LabEY = MakeLabel(g, "LabEY", "Y:", 4, 156, 93, 14);
    EdY1 = Place(new QLineEdit(g), "EdY1", 4, 170, 93, 20);
    EdY2 = Place(new QLineEdit(g), "EdY2", 4, 192, 93, 20);
    BBEdit = Place(new QPushButton("Edit", g), "BBEdit", 4, 222, 93, 24);
    BBCancel = Place(new QPushButton("Cancel", g), "BBCancel", 4, 250, 93, 24);
    BBSubmit = Place(new QPushButton("Submit", g), "BBSubmit", 4, 278, 93, 24);
    connect(BBEdit, &QPushButton::clicked, this, errors::GuardedSlot([this] { BBEditClick(); }));
    connect(BBCancel, &QPushButton::clicked, this, errors::GuardedSlot([this] { BBCancelClick(); }));
    connect(BBSubmit, &QPushButton::clicked, this, errors::GuardedSlot([this] { BBSubmitClick(); }));
}

bool TFormBasicTamoSet::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == GroupBox1 && e->type() == QEvent::Resize)
        PB->setGeometry(2, 15, std::max(0, GroupBox1->width() - 4), std::max(0, GroupBox1->height() - 17));
    return QMainWindow::eventFilter(watched, e);
}

bool TFormBasicTamoSet::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate)
        errors::Guarded([this] { FormActivate(); });
    return QMainWindow::event(e);
}

void TFormBasicTamoSet::FormCreate()
{
    TrueColour = IsTrueColourDisplay();
    EnableRGBControls(TrueColour);
    StartPending = true;
    MMPosition->setChecked(!GroupBox4->isHidden());
    MMControl->setChecked(!GroupBox2->isHidden());
    Palette = colour::DefaultVgaPalette;
    ColourOffset = 49;
    IterBuffer.Fill(kStartValue);
    Calculating.store(false);
    StopRequested.store(false);
}

void TFormBasicTamoSet::FormCreate(const fractals::WindowEntry& entry)
{
    Entry = &entry;
    setObjectName(entry.instance);
    setWindowTitle(QString::fromUtf8(entry.caption));
    resize(entry.width, entry.height);

    PointSet = fractals::MakePointSet(entry); // with its Julia constant
    FormCreate();
    Model.Open(entry);
    AttachThumbnails();
}

void TFormBasicTamoSet::FormCreate(const char* instance)
{
    const fractals::WindowEntry* entry = fractals::FindWindow(instance);
    if (entry == nullptr)
        throw std::logic_error(std::string("no catalogue entry for ") + instance);
    FormCreate(*entry);
}

void TFormBasicTamoSet::FormDestroy()
{
    WaitForWorker();
    PointSet.reset();
}

void TFormBasicTamoSet::SetRegionBySize(engine::Extended xStart, engine::Extended xWidth, engine::Extended yStart,
                                        engine::Extended yHeight)
{
    ViewRegion.SetRegionBySize(xStart, xWidth, yStart, yHeight);
}

void TFormBasicTamoSet::SetRegionByCorners(engine::Extended x1, engine::Extended x2, engine::Extended y1,
                                           engine::Extended y2)
{
    ViewRegion.SetRegionByCorners(x1, x2, y1, y2);
}

void TFormBasicTamoSet::EnableRGBControls(bool enabled)
{
    for (QWidget* w : std::initializer_list<QWidget*>{LabR, LabG, LabB, TBR, TBG, TBB})
        w->setEnabled(enabled);
}

void TFormBasicTamoSet::EnableControls(bool enabled)
{
    for (QMenu* m : {MMMove, MMEdit}) {
        m->menuAction()->setEnabled(enabled);
        for (QAction* a : m->actions())
            a->setEnabled(enabled);
    }
    MMSave->setEnabled(enabled);
    for (QAction* a : {MMLoadPalette, MMSavePalette})
        a->setEnabled(enabled);
    ButBuiltInVga->setEnabled(enabled);
    for (QWidget* w : std::initializer_list<QWidget*>{BitBtnZIN, BitBtnZOUT, BitBtnUp, BitBtnLeft, BitBtnRight,
                                                      BitBtnDown, TB1, LabPal, PagCPal, ButReset})
        w->setEnabled(enabled);
    if (TrueColour)
        EnableRGBControls(enabled);
    if (enabled)
        PositionBoxIdle();
    else
        PositionBoxDisabled();
    UpdateHistoryActions(enabled);
    EnableViewFileActions(enabled);
    UpdateLongJobActions(enabled);
    if (auto* parameters = window::ParametersCommand::Of(*this))
        parameters->Enable(enabled);
}

namespace {

void SetPositionBox(TFormBasicTamoSet& w, bool fields, bool edit, bool cancelSubmit)
{
    for (QWidget* f : std::initializer_list<QWidget*>{w.LabEX, w.LabEY, w.EdX1, w.EdX2, w.EdY1, w.EdY2})
        f->setEnabled(fields);
    w.BBEdit->setEnabled(edit);
    w.BBCancel->setEnabled(cancelSubmit);
    w.BBSubmit->setEnabled(cancelSubmit);
}

} // namespace

void TFormBasicTamoSet::PositionBoxIdle() { SetPositionBox(*this, false, true, false); }
void TFormBasicTamoSet::PositionBoxEditing() { SetPositionBox(*this, true, false, true); }
void TFormBasicTamoSet::PositionBoxDisabled() { SetPositionBox(*this, false, false, false); }
