// TCalcOnForm: the worker thread that fills a window's IterBuffer row by row.
#pragma once

#include <QThread>

#include <atomic>
#include <cstdint>

#include "engine/PointSets.h"
#include "engine/Region.h"

class QAbstractEventDispatcher;
class TFormBasicTamoSet;

// Owned by its window, which frees it before starting the next calculation
// and when the window is destroyed (TFormBasicTamoSet::WaitForWorker).
class TCalcOnForm : public QThread {
    Q_OBJECT
public:
    TCalcOnForm(TFormBasicTamoSet* form, engine::TBasicSet* set, engine::TValueFunction fn);
    // Waits for the thread's very end; the run must have ended (RunEnded).
    ~TCalcOnForm() override;

    TFormBasicTamoSet* const FormPai;
    engine::TBasicSet* const FSet;
    const engine::TValueFunction FValueFunction;

    // True once the run needs the interface thread no more: freeing this
    // object then waits only for the thread's last steps (a wake-up of the
    // interface thread's event loop).
    bool RunEnded() const { return runEnded_.load(std::memory_order_acquire); }

    // Worker objects in existence, whatever their state: a leak check for
    // the tests and the shutdown probe.
    static int LiveCount();

protected:
    void run() override;

private:
    void Execute();

    std::atomic<bool> runEnded_{false};
    // The interface thread's event loop (the worker is made there).
    QAbstractEventDispatcher* const interfaceEvents_;
};
