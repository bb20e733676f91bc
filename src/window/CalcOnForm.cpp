// The calculation thread: computes rows, meets the interface thread after each, publishes progress.
#include "window/CalcOnForm.h"

#include <QAbstractEventDispatcher>
#include <QMetaObject>

#include <array>
#include <exception>
#include <string>

#include "engine/RowPool.h"
#include "window/ErrorReport.h"
#include "window/FormBasicTamoSet.h"

namespace {

std::atomic<int> liveWorkers{0};

} // namespace

TCalcOnForm::TCalcOnForm(TFormBasicTamoSet* form, engine::TBasicSet* set, engine::TValueFunction fn)
    : FormPai(form), FSet(set), FValueFunction(fn), interfaceEvents_(QAbstractEventDispatcher::instance())
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
    TFormBasicTamoSet* const form = FormPai;
    const engine::RegionValues region = form->ViewRegion.Values();
    // The rows are computed on the shared pool, a few ahead of the one
    // published next, each with its own copy of the window's point set; this
    // thread publishes them in order. Leaving the loop (stop or end) cancels
    // the rows not started and waits for those in flight; none of them
    // reaches IterBuffer.
    engine::RowStream stream(region, *FSet, FValueFunction);
    std::array<std::uint8_t, engine::kBufferWidth> values{};
    for (int i = 0; i < engine::kBufferHeight; ++i) {
        stream.TakeRow(i, values.data());
        form->IterBuffer.StoreRow(i, values.data());
        // The worker yields to the interface once per row.
        QMetaObject::invokeMethod(form, [] {}, Qt::BlockingQueuedConnection);
        if (!form->PublishRow(i))
            return;
    }
}

void TCalcOnForm::run()
{
    TFormBasicTamoSet* const form = FormPai;
    try {
        Execute();
    } catch (const std::exception& e) {
        // No formula throws; should one ever do so, the window must not stay
        // disabled with its calculation flag set.
        const std::string message = e.what();
        QMetaObject::invokeMethod(
            form,
            [form, message] {
                form->FinishCalculation();
                errors::Report(QString::fromStdString(message));
            },
            Qt::QueuedConnection);
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
