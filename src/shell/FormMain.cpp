// The launcher: button grid, strip mode and the shutdown that stops every calculation.
#include "shell/FormMain.h"

#include <QAction>
#include <QCloseEvent>
#include <QDropEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QCoreApplication>
#include <QToolButton>

#include "fractals/Catalogue.h"
#include "window/Form1.h"
#include "window/FormJU.h"
#include "window/FormJulia.h"
#include "window/FormRN.h"
#include "window/FormTamo.h"
#include "shell/HelpForms.h"
#include "shell/Windows.h"
#include "window/ViewOpening.h"
#include "window/Centring.h"
#include "window/ErrorReport.h"
#include "window/LongJobs.h"
#include "window/ThumbnailRenderer.h"

namespace {

struct ButtonPlace {
    const char* name;
    int left, top, width, height;
};

constexpr ButtonPlace kFractalButtons[] = {
    {"SBMandel", 0, 0, 73, 57},  {"SBTamo2", 73, 0, 72, 57},  {"SBTamo4", 146, 0, 71, 57},
    {"SBTamo1", 0, 59, 73, 54},  {"SBTamo3", 73, 59, 72, 54}, {"SBTamo5", 146, 59, 71, 54},
    {"SBJU1", 0, 112, 73, 57},   {"SBJU2", 72, 112, 73, 57},  {"SBJU3", 144, 112, 73, 57},
    {"SBJU4", 0, 168, 73, 57},   {"SBJU5", 72, 168, 73, 57},  {"SBJU6", 144, 168, 73, 57},
    {"SBJU7", 0, 224, 73, 57},   {"SBJU8", 72, 224, 73, 57},  {"SBJU9", 144, 224, 73, 57},
    {"SBJU10", 0, 280, 73, 57},  {"SBJU11", 72, 280, 73, 57}, {"SBJU12", 144, 280, 73, 57},
    {"SBAL1", 0, 336, 73, 57},   {"SBAL2", 72, 336, 73, 57},  {"SBAL3", 144, 336, 73, 57},
    {"SBAL4", 0, 392, 73, 57},   {"SBAL5", 72, 392, 73, 57},  {"SBAL6", 144, 392, 73, 57},
};

const fractals::WindowEntry* EntryOfButton(const char* button)
{
    for (const fractals::WindowEntry& w : fractals::Windows())
        if (QLatin1String(w.launcherButton) == QLatin1String(button))
            return &w;
    return nullptr;
}

} // namespace

TFormMain::TFormMain(QWidget* parent) : QWidget(parent)
{
    setObjectName("FormMain");
    setWindowTitle("Quillon  v2.8B");
    window::CentreAtFirstShow(*this);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    QFont f = font();
    f.setPointSize(8);
    setFont(f);
    setFixedSize(219, 473);

    for (const ButtonPlace& p : kFractalButtons) {
        auto* b = new QToolButton(this);
        b->setObjectName(p.name);
        b->setGeometry(p.left, p.top, p.width, p.height);
        b->setAutoRaise(true);
        b->setIconSize(QSize(ThumbnailRenderer::kWidth, ThumbnailRenderer::kHeight));
        const QString name = p.name;
        connect(b, &QToolButton::clicked, this, errors::GuardedSlot([this, name] { FractalButtonClick(name); }));
        if (const fractals::WindowEntry* entry = EntryOfButton(p.name)) {
            ThumbnailRenderer::Attach(entry->instance, b);
            // The pictures carry no text: the caption says which window opens.
            b->setToolTip(QString::fromUtf8(entry->caption));
        }
        FractalButtons.push_back(b);
    }

    SBMin = new QToolButton(this);
    SBMin->setObjectName("SBMin");
    SBMin->setGeometry(0, 454, 217, 19);
    SBMin->setAutoRaise(true);
    SBMin->setArrowType(Qt::UpArrow);
    SBMin->setToolTip(QStringLiteral("Shrink the launcher to a strip"));
    connect(SBMin, &QToolButton::clicked, this, errors::GuardedSlot([this] { SBMinClick(); }));

    SBMax = new QToolButton(this);
    SBMax->setObjectName("SBMax");
    SBMax->setGeometry(0, 0, 217, 25);
    SBMax->setAutoRaise(true);
    SBMax->setArrowType(Qt::DownArrow);
    SBMax->setToolTip(QStringLiteral("Show all the pictures again"));
    SBMax->hide();
    SBMax->raise(); // over the top row while the launcher is a strip
    connect(SBMax, &QToolButton::clicked, this, errors::GuardedSlot([this] { SBMaxClick(); }));

    // The grid fills the launcher: its own commands live in the context menu.
    MMOpenView = new QAction(QString::fromUtf8("Open View…"), this);
    MMOpenView->setObjectName("MMOpenView");
    MMOpenView->setShortcut(QKeySequence::Open);
    connect(MMOpenView, &QAction::triggered, this, errors::GuardedSlot([this] { MMOpenViewClick(); }));
    addAction(MMOpenView);
    // The Julia explorer's window has no button of its own.
    auto* juliaSet = new QAction(QStringLiteral("Julia Set"), this);
    juliaSet->setObjectName("MMJuliaSet");
    connect(juliaSet, &QAction::triggered, this, errors::GuardedSlot([] {
                if (FormJulia != nullptr)
                    shell::ShowAndRaise(FormJulia);
            }));
    addAction(juliaSet);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    setAcceptDrops(true);

    FormCreate();
}

// Before it is first shown the window has no frame yet, so the height
// recorded is that of the client area; SBMax restores exactly that size.
void TFormMain::FormCreate()
{
    FullHeight = static_cast<std::uint16_t>(height());
}

void TFormMain::SetOuterHeight(int outer)
{
    const int frame = frameGeometry().height() - height();
    setFixedHeight(std::max(0, outer - frame));
}

void TFormMain::SBMinClick()
{
    SetOuterHeight(50);
    SBMax->show();
}

void TFormMain::SBMaxClick()
{
    setFixedHeight(FullHeight);
    SBMax->hide();
}

void TFormMain::FractalButtonClick(const QString& button)
{
    TFormBasicTamoSet* w = WindowOfLauncherButton(button);
    if (w == nullptr)
        return;
    w->show();
    w->raise();
    w->activateWindow();
}

void TFormMain::MMOpenViewClick()
{
    window::OpenViewWithDialog(this);
}

void TFormMain::dragEnterEvent(QDragEnterEvent* e)
{
    for (const QUrl& url : e->mimeData()->urls())
        if (url.isLocalFile() && window::IsViewFileName(url.toLocalFile())) {
            e->acceptProposedAction();
            return;
        }
    QWidget::dragEnterEvent(e);
}

void TFormMain::dropEvent(QDropEvent* e)
{
    if (window::OpenDroppedViews(*e->mimeData())) {
        e->acceptProposedAction();
        return;
    }
    QWidget::dropEvent(e);
}

void TFormMain::FormClose()
{
    const std::vector<TFormBasicTamoSet*> stopOrder = {
        FormTamo1, FormTamo2, FormTamo3, FormTamo4, FormTamo5, Form1,   FormJU1,  FormJU2,
        FormJU3,   FormJU4,   FormJU5,   FormJU6,   FormJU7,   FormJU8, FormJU9,  FormJU10,
        FormJU11,  FormJU12,  FormRN1,   FormRN2,   FormRN3,   FormRN4, FormRN5,  FormRN6};
    const std::vector<TFormBasicTamoSet*> captionOrder = {
        FormTamo1, FormTamo2, FormTamo3, FormTamo4, FormTamo5, FormJU1, FormJU2, FormJU3,
        FormJU4,   FormJU5,   FormJU6,   FormJU7,   FormJU8,   FormJU9, FormJU10, FormJU11,
        FormJU12,  Form1,     FormRN1,   FormRN2,   FormRN3,   FormRN4, FormRN5, FormRN6};

    for (TFormBasicTamoSet* w : stopOrder)
        if (w)
            w->RequestStop();
    for (TFormBasicTamoSet* w : captionOrder)
        if (w)
            w->setWindowTitle(w->windowTitle() + " Closing...");
    // A worker waits for this thread after every row, and a calculation whose
    // rows are all done ends only at its window's next timer tick: events
    // must keep flowing. Each of those wakes the wait.
    for (;;) {
        bool calculating = false;
        for (TFormBasicTamoSet* w : stopOrder)
            if (w && w->IsCalculating())
                calculating = true;
        if (!calculating)
            break;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

std::vector<window::LongJob*> TFormMain::RunningLongJobs() const
{
    std::vector<window::LongJob*> jobs;
    std::vector<TFormBasicTamoSet*> windows = FractalWindows();
    if (FormJulia != nullptr) // the Julia explorer's window makes pictures and movies too
        windows.push_back(FormJulia);
    for (TFormBasicTamoSet* w : windows)
        if (window::LongJob* job = w->CurrentLongJob(); job != nullptr && job->Running())
            jobs.push_back(job);
    return jobs;
}

QString StopJobsQuestion(int pictures, int movies)
{
    auto count = [](int n, const char* one, const char* many) {
        return n == 1 ? QString::fromLatin1(one) : QStringLiteral("%1 %2").arg(n).arg(QLatin1String(many));
    };
    QString what;
    if (pictures > 0 && movies > 0)
        what = count(pictures, "A picture", "pictures") + QStringLiteral(" and ") + count(movies, "a movie", "movies");
    else if (movies > 0)
        what = count(movies, "A movie", "movies");
    else
        what = count(pictures, "A picture", "pictures");
    const bool one = pictures + movies == 1;
    return what + (one ? QStringLiteral(" is still being made. Stop it and quit?")
                       : QStringLiteral(" are still being made. Stop them and quit?"));
}

bool TFormMain::ConfirmStopLongJobs()
{
    const std::vector<window::LongJob*> jobs = RunningLongJobs();
    if (jobs.empty())
        return true;
    int movies = 0;
    for (const window::LongJob* job : jobs)
        if (job->Dialog() != nullptr && job->Dialog()->windowTitle() == QLatin1String("Make Zoom Movie"))
            ++movies;
    // Parented to the launcher, which stays on top: the question shows above it.
    QMessageBox box(QMessageBox::Question, QStringLiteral("Quillon"),
                    StopJobsQuestion(static_cast<int>(jobs.size()) - movies, movies), QMessageBox::NoButton, this);
    box.setObjectName("StopJobsQuestion");
    QPushButton* quit = box.addButton(QStringLiteral("Quit"), QMessageBox::DestructiveRole);
    quit->setObjectName("StopJobsQuit");
    QPushButton* cancel = box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() != quit)
        return false;
    // The jobs may have ended while the question was open; those are done.
    // Each stopped job removes what it had begun to write.
    for (window::LongJob* job : RunningLongJobs())
        job->Stop();
    return true;
}

void TFormMain::closeEvent(QCloseEvent* e)
{
    if (!closing_ && !ConfirmStopLongJobs()) {
        e->ignore();
        return;
    }
    if (!closing_) {
        closing_ = true;
        FormClose();
        emit Closed();
    }
    e->accept();
}

