// The calculation thread: computes rows, meets the interface thread after each, publishes progress.
#include "window/CalcOnForm.h"

#include <QAbstractEventDispatcher>
#include <QMetaObject>

#include <array>
#include <exception>
#include <utility>

#include "deep/Perturb.h"
#include "engine/RowPool.h"

namespace {

std::atomic<int> liveWorkers{0};

} // namespace

TCalcOnForm::TCalcOnForm(Job job) : job_(std::move(job)), interfaceEvents_(QAbstractEventDispatcher::instance())
{
    liveWorkers.fetch_add(1, std::memory_order_relaxed);
}

TCalcOnForm::~TCalcOnForm()
{
    wait();
    // Pairs with the run's last store: nothing of the run touches this object
    // after it (the thread's wait is invisible to the thread sanitizer).
    (void)runEnded_.load(std::memory_order_acquire);
    liveWorkers.fetch_sub(1, std::memory_order_relaxed);
}

int TCalcOnForm::LiveCount()
{
    return liveWorkers.load(std::memory_order_relaxed);
}

void TCalcOnForm::Execute()
{
    std::shared_ptr<const render::DeepJob> deepJob = job_.deep;
    if (!deepJob && job_.deepPlan) {
        try {
            deepJob = render::MakeDeepJob(*job_.deepPlan, job_.reuse, job_.stopped);
        } catch (const deep::Stopped&) {
            // No row was stored: publishing "none" tells the window the run ends.
            (void)job_.publish(-1);
            return;
        }
        reference_ = deepJob->reference;
    }
    if (deepJob) {
        // The same rendezvous per row; a stop leaves the rows not yet taken.
        std::atomic<bool> stop{false};
        deep::ComputeRows(*deepJob->reference, deepJob->mapping, 0, engine::kBufferHeight,
                          [this, &stop](int row, const std::uint8_t* cells) {
                              job_.buffer->StoreRow(row, cells);
                              QMetaObject::invokeMethod(this, [] {}, Qt::BlockingQueuedConnection);
                              if (!job_.publish(row))
                                  stop.store(true, std::memory_order_relaxed);
                          },
                          &stop);
        return;
    }
    // The rows are computed on the shared pool, a few ahead of the one
    // published next, each with its own copy of the point set; this thread
    // publishes them in order. Leaving the loop (stop or end) cancels the rows
    // not started and waits for those in flight; none of them reaches the buffer.
    engine::RowStream stream(job_.region, *job_.set, job_.valueFunction);
    std::array<std::uint8_t, engine::kBufferWidth> values{};
    for (int i = 0; i < engine::kBufferHeight; ++i) {
        stream.TakeRow(i, values.data());
        job_.buffer->StoreRow(i, values.data());
        // The worker yields to the interface once per row (this object lives there).
        QMetaObject::invokeMethod(this, [] {}, Qt::BlockingQueuedConnection);
        if (!job_.publish(i))
            return;
    }
}

void TCalcOnForm::run()
{
    try {
        Execute();
    } catch (const std::exception& e) {
        // No formula throws; should one ever do so, the window must not stay
        // disabled with its calculation flag set.
        emit Failed(QString::fromStdString(e.what()));
    }
    // Wakes a window waiting for this end (WaitForWorker), which may be idle
    // in its event loop. Nothing is posted: a message made here and freed on
    // the interface thread would pass through Qt's queue, whose locks the
    // thread sanitizer cannot see. The store is the run's last access to this
    // object, which may be freed as soon as it is seen.
    QAbstractEventDispatcher* const wake = interfaceEvents_;
    runEnded_.store(true, std::memory_order_release);
    wake->wakeUp();
}
