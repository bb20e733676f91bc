// Long jobs of a fractal window (a poster render, a zoom movie): a thread of their own, a progress dialog with time left and Cancel.
#pragma once

#include <QDialog>
#include <QPromise>
#include <QElapsedTimer>
#include <QFutureWatcher>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QThreadPool>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <memory>
#include <utility>

#include "render/Render.h"
#include "window/TimeLeft.h"

class QDialogButtonBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QProgressBar;
class QSpinBox;
class QPushButton;
class QTimer;
class QWidget;

namespace window {

// Where a job's thread tells how far it has come. Steps are fine-grained
// (value rows), items are what the user counts (frames); a job without items
// leaves them at 0. Each change of the bar's position also reaches the job's
// promise, whose watcher shows it (Qt sends at most 25 changes a second).
class JobProgress {
public:
    static constexpr int kBarSteps = 1000;

    // The promise the bar's position goes to; set on the job's thread before the work starts.
    void Attach(QPromise<void>* promise) { promise_.store(promise, std::memory_order_release); }
    void SetSteps(std::int64_t done, std::int64_t total)
    {
        total_.store(total, std::memory_order_relaxed);
        done_.store(done, std::memory_order_relaxed);
        Tell();
    }
    void SetItems(int done, int total)
    {
        itemsTotal_.store(total, std::memory_order_relaxed);
        items_.store(done, std::memory_order_relaxed);
        Tell();
    }
    // The bar's position, 0 ... kBarSteps.
    int BarValue() const
    {
        const std::int64_t total = StepsTotal();
        return total > 0 ? static_cast<int>(StepsDone() * kBarSteps / total) : 0;
    }
    std::int64_t StepsDone() const { return done_.load(std::memory_order_relaxed); }
    std::int64_t StepsTotal() const { return total_.load(std::memory_order_relaxed); }
    int ItemsDone() const { return items_.load(std::memory_order_relaxed); }
    int ItemsTotal() const { return itemsTotal_.load(std::memory_order_relaxed); }

private:
    void Tell()
    {
        if (QPromise<void>* promise = promise_.load(std::memory_order_acquire))
            promise->setProgressValue(BarValue());
    }
    std::atomic<QPromise<void>*> promise_{nullptr};
    std::atomic<std::int64_t> done_{0}, total_{0};
    std::atomic<int> items_{0}, itemsTotal_{0};
};

// A job's render control: the cancel flag, the windows' own row pool at
// background priority (their pictures go first), progress in value rows.
render::Control BackgroundControl(const std::atomic<bool>& cancel, std::function<void(const render::Progress&)> progress);

// "about 1 h 05 min left", "about 3 min 20 s left", "about 12 s left".
QString TimeLeftText(double seconds);

// The progress window of a job: what it makes, how far it is, time left,
// and Cancel. Closing it (Escape, the title bar) cancels too. Once the job
// has ended with something to say (how many frames a cancelled movie kept)
// it shows that with a Close button.
class LongJobDialog : public QDialog {
    Q_OBJECT
public:
    LongJobDialog(QWidget* owner, const QString& title, const QString& headline);

    QLabel* Headline = nullptr;
    QLabel* Status = nullptr;
    QProgressBar* Bar = nullptr;
    QPushButton* CancelButton = nullptr;

    void ShowProgress(const JobProgress& progress, double elapsedSeconds);
    void ShowCancelling();
    void ShowOutcome(const QString& text);

signals:
    void CancelRequested();

protected:
    void reject() override;

private:
    bool ended_ = false;
    TimeLeft timeLeft_;
};

// One job run by QtConcurrent on a thread of its own (its own pool of one).
// The work must own everything it reads (it never touches the window), so the
// window stays free to explore while it runs; it shares only the cancel flag
// (atomic: the Qt-free renderers read it) and its progress, which reaches the
// dialog through the job's QFutureWatcher, as does its end. A failure reaches the user through
// the application's error report after the dialog has gone.
class LongJob : public QObject {
    Q_OBJECT
public:
    // Runs on the job's thread. Returns what the dialog is to say when the
    // work ends (a cancelled movie's outcome), or nothing to close it. What it
    // throws is reported.
    using Work = std::function<std::string(const std::atomic<bool>& cancel, JobProgress& progress)>;

    LongJob(QWidget* owner, const QString& title, const QString& headline, Work work);
    // Cancels the work and waits for its thread.
    ~LongJob() override;
    LongJob(const LongJob&) = delete;
    LongJob& operator=(const LongJob&) = delete;

    // True until the interface thread has seen the work end.
    bool Running() const { return running_; }
    // Asks the work to stop; it ends at its next check (a row, a frame).
    void Cancel();
    // Cancels, waits for the work and closes the dialog without a word (the window goes).
    void Stop();
    LongJobDialog* Dialog() const { return dialog_; }

signals:
    // The work has returned; Running() is false.
    void Ended();

private:
    void Finished();
    void Wait();

    QPointer<LongJobDialog> dialog_; // owned: deleted with the job (or with its window, should that go first)
    QElapsedTimer clock_;
    bool running_ = true;

    std::atomic<bool> cancel_{false};
    JobProgress progress_;
    QThreadPool pool_;
    QFutureWatcher<void> watcher_;
    // What the work leaves, published by done_ (release by the work, acquire
    // here): Qt's own hand-over of a future's end uses locks the thread
    // sanitizer cannot see, so the results do not pass through the future.
    std::atomic<bool> done_{false};
    std::string outcome_;
    std::string failure_; // non-empty: the work threw
};

// The rows the Render Picture and Make Zoom Movie dialogs share.
namespace jobdialog {

// A spin box of one picture side, named `name`.
QSpinBox* Side(QWidget* parent, const char* name, int lo, int hi);
// "Width × height:" with the two side boxes.
void AddSides(QWidget* parent, QFormLayout* form, QSpinBox* width, QSpinBox* height);
// "Smoothing:" with a 1 ... 4 supersampling box.
QSpinBox* AddSupersample(QWidget* parent, QFormLayout* form, const char* name);
// A file name box and its "Choose…" button on one row.
std::pair<QLineEdit*, QPushButton*> AddFile(QWidget* parent, QFormLayout* form, const QString& label, const char* editName,
                                            const char* browseName);
// Lays out the form above Cancel and the accept button `caption`, which
// calls `start` and closes the dialog when it returns true.
std::pair<QDialogButtonBox*, QPushButton*> Finish(QDialog* dialog, QFormLayout* form, const QString& caption,
                                                  const char* name, std::function<bool()> start);

} // namespace jobdialog

} // namespace window
