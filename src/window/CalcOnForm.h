// TCalcOnForm: the worker thread that fills a window's IterBuffer row by row.
#pragma once

#include <QThread>

#include <atomic>
#include <cstdint>

#include "engine/PointSets.h"
#include "engine/Region.h"

class TFormBasicTamoSet;

class TCalcOnForm : public QThread {
    Q_OBJECT
public:
    // Creates the thread; it deletes itself once its run has ended.
    TCalcOnForm(TFormBasicTamoSet* form, engine::TBasicSet* set, engine::TValueFunction fn);
    ~TCalcOnForm() override;

    TFormBasicTamoSet* const FormPai;
    engine::TBasicSet* const FSet;
    const engine::TValueFunction FValueFunction;

    // Processes events until every worker of `form` has ended its run. The
    // worker waits for the interface thread once per row, so a plain wait
    // here would never return.
    static void WaitFor(const TFormBasicTamoSet* form);
    // Processes events until every worker has ended its run, then frees the
    // workers not freed yet. Used at shutdown, after every stop request.
    static void WaitForAll();
    // Workers not freed yet (running, or ended and waiting for their deletion).
    static int LiveCount();
    // Workers whose run has not ended.
    static int RunningCount();

protected:
    void run() override;

private:
    void Execute();

    // Stored last by the run, after every access to the window; whoever frees
    // the window or this object reads it first.
    std::atomic<bool> RunEnded{false};
};
