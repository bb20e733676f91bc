// Long jobs of a fractal window: the job's thread, its polling from the interface thread, the progress dialog.
#include "window/LongJobs.h"

#include <QAction>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <QtConcurrent/QtConcurrentRun>

#include <cmath>
#include <exception>
#include <utility>

#include "window/ErrorReport.h"

namespace window {

render::Control BackgroundControl(const std::atomic<bool>& cancel, std::function<void(const render::Progress&)> progress)
{
    render::Control control;
    control.cancel = &cancel;
    control.pool = &engine::RowPool::Instance();
    control.priority = engine::RowPool::Priority::Background;
    control.progress = std::move(progress);
    return control;
}

QString TimeLeftText(double seconds)
{
    // Whole seconds; an estimate beyond a few days is no estimate.
    const long long s = seconds < 0 ? 0 : seconds > 1e6 ? 1000000 : std::llround(seconds);
    if (s >= 3600)
        return QStringLiteral("about %1 h %2 min left").arg(s / 3600).arg((s % 3600) / 60, 2, 10, QLatin1Char('0'));
    if (s >= 60)
        return QStringLiteral("about %1 min %2 s left").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
    return QStringLiteral("about %1 s left").arg(s);
}

LongJobDialog::LongJobDialog(QWidget* owner, const QString& title, const QString& headline) : QDialog(owner)
{
    setObjectName("LongJobDialog");
    setWindowTitle(title);
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    Headline = new QLabel(headline, this);
    Headline->setObjectName("LongJobHeadline");
    Headline->setWordWrap(true);
    Status = new QLabel(QStringLiteral("Starting…"), this);
    Status->setObjectName("LongJobStatus");
    Status->setWordWrap(true);
    Bar = new QProgressBar(this);
    Bar->setObjectName("LongJobBar");
    Bar->setRange(0, JobProgress::kBarSteps);
    Bar->setValue(0);
    Bar->setFormat(QStringLiteral("%p %"));
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    CancelButton->setObjectName("LongJobCancel");
    layout->addWidget(Headline);
    layout->addWidget(Bar);
    layout->addWidget(Status);
    layout->addWidget(CancelButton, 0, Qt::AlignRight);
    setMinimumWidth(420);
    connect(CancelButton, &QPushButton::clicked, this, [this] { reject(); });
}

void LongJobDialog::reject()
{
    if (ended_) {
        QDialog::reject();
        return;
    }
    emit CancelRequested();
}

void LongJobDialog::ShowProgress(const JobProgress& progress, double elapsedSeconds)
{
    const std::int64_t done = progress.StepsDone(), total = progress.StepsTotal();
    if (total > 0)
        Bar->setValue(progress.BarValue());
    QString text;
    if (progress.ItemsTotal() > 0)
        text = QStringLiteral("Frame %1 of %2 done, ").arg(progress.ItemsDone()).arg(progress.ItemsTotal());
    timeLeft_.Add(elapsedSeconds, done, total);
    const double left = timeLeft_.SecondsLeft();
    text += left < 0 ? QStringLiteral("estimating the time left…") : TimeLeftText(left);
    Status->setText(text);
}

void LongJobDialog::ShowCancelling()
{
    Status->setText(QStringLiteral("Cancelling…"));
    CancelButton->setEnabled(false);
}

void LongJobDialog::ShowOutcome(const QString& text)
{
    ended_ = true;
    Status->setText(text);
    CancelButton->setText(QStringLiteral("Close"));
    CancelButton->setEnabled(true);
}

LongJob::LongJob(QWidget* owner, const QString& title, const QString& headline, Work work)
    : dialog_(new LongJobDialog(owner, title, headline))
{
    connect(dialog_, &LongJobDialog::CancelRequested, this, [this] { Cancel(); });
    // Progress is shown as the bar moves; the work's return ends the job.
    connect(&watcher_, &QFutureWatcherBase::progressValueChanged, this, [this] {
        if (!cancel_.load() && dialog_)
            dialog_->ShowProgress(progress_, static_cast<double>(clock_.elapsed()) / 1000.0);
    });
    connect(&watcher_, &QFutureWatcherBase::finished, this, [this] { Finished(); });
    pool_.setMaxThreadCount(1); // the job's own thread: jobs of other windows never wait for it
    clock_.start();
    watcher_.setFuture(QtConcurrent::run(&pool_, [this, work = std::move(work)](QPromise<void>& promise) {
        promise.setProgressRange(0, JobProgress::kBarSteps);
        progress_.Attach(&promise);
        try {
            outcome_ = work(cancel_, progress_);
        } catch (const std::exception& e) {
            failure_ = e.what();
        } catch (...) {
            failure_ = "Unknown error";
        }
        progress_.Attach(nullptr);
        // The work's last access to this object.
        done_.store(true, std::memory_order_release);
    }));
    dialog_->show();
}

LongJob::~LongJob()
{
    Stop();
    delete dialog_.data();
}

void LongJob::Cancel()
{
    if (!running_ || cancel_.exchange(true))
        return;
    if (dialog_)
        dialog_->ShowCancelling();
}

void LongJob::Wait()
{
    // The watcher's own report of the end may still be queued: it must find nothing to do.
    disconnect(&watcher_, nullptr, this, nullptr);
    watcher_.waitForFinished();
    (void)done_.load(std::memory_order_acquire); // set before the future could finish
    running_ = false;
}

void LongJob::Stop()
{
    if (!running_)
        return;
    cancel_.store(true);
    Wait();
    if (dialog_)
        dialog_->hide();
    emit Ended();
}

void LongJob::Finished()
{
    Wait();
    const bool failed = !failure_.empty();
    const std::string outcome = failed ? std::string() : outcome_;
    QWidget* owner = dialog_ ? dialog_->parentWidget() : nullptr;
    if (dialog_ && (failed || outcome.empty()))
        dialog_->hide();
    else if (dialog_)
        dialog_->ShowOutcome(QString::fromStdString(outcome));
    emit Ended();
    if (failed) {
        // After this slot has returned: the report may run a modal loop, in
        // which the window (and this job with it) may go.
        const QString message = QString::fromStdString(failure_);
        QTimer::singleShot(0, owner ? static_cast<QObject*>(owner) : this, [message] { errors::Report(message); });
    }
}

namespace jobdialog {

QSpinBox* Side(QWidget* parent, const char* name, int lo, int hi)
{
    auto* s = new QSpinBox(parent);
    s->setObjectName(name);
    s->setRange(lo, hi);
    return s;
}

void AddSides(QWidget* parent, QFormLayout* form, QSpinBox* width, QSpinBox* height)
{
    auto* sides = new QHBoxLayout;
    sides->addWidget(width);
    sides->addWidget(new QLabel(QStringLiteral("×"), parent));
    sides->addWidget(height);
    sides->addStretch();
    form->addRow(QStringLiteral("Width × height:"), sides);
}

QSpinBox* AddSupersample(QWidget* parent, QFormLayout* form, const char* name)
{
    auto* s = new QSpinBox(parent);
    s->setObjectName(name);
    s->setRange(1, 4);
    s->setSuffix(QStringLiteral(" × supersampling"));
    form->addRow(QStringLiteral("Smoothing:"), s);
    return s;
}

std::pair<QLineEdit*, QPushButton*> AddFile(QWidget* parent, QFormLayout* form, const QString& label, const char* editName,
                                            const char* browseName)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(editName);
    auto* browse = new QPushButton(QStringLiteral("Choose…"), parent);
    browse->setObjectName(browseName);
    auto* row = new QHBoxLayout;
    row->addWidget(edit, 1);
    row->addWidget(browse);
    form->addRow(label, row);
    return {edit, browse};
}

std::pair<QDialogButtonBox*, QPushButton*> Finish(QDialog* dialog, QFormLayout* form, const QString& caption,
                                                  const char* name, std::function<bool()> start)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, dialog);
    QPushButton* accept = buttons->addButton(caption, QDialogButtonBox::AcceptRole);
    accept->setObjectName(name);
    auto* layout = new QVBoxLayout(dialog);
    layout->addLayout(form);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, [dialog, start = std::move(start)] {
        if (start())
            dialog->accept();
    });
    return {buttons, accept};
}

} // namespace jobdialog

} // namespace window
