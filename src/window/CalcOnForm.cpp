// The calculation thread: computes rows, meets the interface thread after each, publishes progress.
#include "window/CalcOnForm.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <algorithm>
#include <array>
#include <exception>
#include <string>
#include <vector>

#include "engine/RowPool.h"
#include "window/ErrorReport.h"
#include "window/FormBasicTamoSet.h"

namespace {

// Workers not yet freed. Touched only on the interface thread.
std::vector<TCalcOnForm*>& Live()
{
    static std::vector<TCalcOnForm*> live;
    return live;
}

} // namespace

TCalcOnForm::TCalcOnForm(TFormBasicTamoSet* form, engine::TBasicSet* set, engine::TValueFunction fn)
    : FormPai(form), FSet(set), FValueFunction(fn)
{
    Live().push_back(this);
}

TCalcOnForm::~TCalcOnForm()
{
    wait();
    // Pairs with the run's last store: nothing of the run touches this object
    // after it.
    (void)RunEnded.load(std::memory_order_acquire);
    auto& live = Live();
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
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
        form->ComputedRow.store(i, std::memory_order_release);
        if (form->StopRequested.load(std::memory_order_acquire)) {
            form->Calculating.store(false, std::memory_order_release);
            return;
        }
    }
}

void TCalcOnForm::run()
{
    try {
        Execute();
    } catch (const std::exception& e) {
        // No formula throws; should one ever do so, the window must not stay
        // disabled with its calculation flag set.
        // The window is the call's context: were it gone, the call is dropped.
        TFormBasicTamoSet* const form = FormPai;
        const std::string message = e.what();
        QMetaObject::invokeMethod(
            form,
            [form, message] {
                form->FinishCalculation();
                errors::Report(QString::fromStdString(message));
            },
            Qt::QueuedConnection);
    }
    RunEnded.store(true, std::memory_order_release);
    // Freed on the interface thread; its destructor waits for the thread's
    // very end. Asked for here rather than on the finished signal, whose
    // queued delivery would run code of this class on this thread after the
    // store above.
    deleteLater();
}

void TCalcOnForm::WaitFor(const TFormBasicTamoSet* form)
{
    for (;;) {
        bool running = false;
        for (TCalcOnForm* t : Live())
            if (t->FormPai == form && !t->RunEnded.load(std::memory_order_acquire))
                running = true;
        if (!running)
            return;
        // A rendezvous or the end of the run (its finished signal) wakes this.
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

void TCalcOnForm::WaitForAll()
{
    for (;;) {
        const auto& live = Live();
        const bool running = std::any_of(live.begin(), live.end(), [](TCalcOnForm* t) {
            return !t->RunEnded.load(std::memory_order_acquire);
        });
        if (!running)
            break;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    while (!Live().empty())
        delete Live().back(); // the destructor waits and unregisters
}

int TCalcOnForm::LiveCount()
{
    return static_cast<int>(Live().size());
}

int TCalcOnForm::RunningCount()
{
    const auto& live = Live();
    return static_cast<int>(std::count_if(live.begin(), live.end(), [](TCalcOnForm* t) {
        return !t->RunEnded.load(std::memory_order_acquire);
    }));
}
