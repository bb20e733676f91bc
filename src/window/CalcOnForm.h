// TCalcOnForm: the worker thread that computes a picture's rows into the buffer it is handed.
#pragma once

#include <QString>
#include <QThread>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

#include "engine/IterBuffer.h"
#include "engine/PointSets.h"
#include "engine/Region.h"
#include "render/Render.h"

class QAbstractEventDispatcher;

// Everything a run reads and the one place it writes are handed to it when it
// is made; it knows nothing of the window that made it. Made on the interface
// thread and freed there once the run has ended (RunEnded), before the next
// calculation starts or the window goes.
class TCalcOnForm : public QThread {
    Q_OBJECT
public:
    struct Job {
        engine::RegionValues region;
        std::unique_ptr<engine::TBasicSet> set; // the worker's own copy of the formula's point set
        engine::TValueFunction valueFunction = nullptr;
        // When set, the deep engine computes the rows in place of region, set and function.
        std::shared_ptr<const render::DeepJob> deep;
        // When set (and deep is not), the worker first makes the deep job of
        // this plan: `reuse` when it is the reference the plan needs, else a
        // new reference orbit, asking `stopped` as it goes. A stop there ends
        // the run as a stop between rows does, with nothing published.
        std::optional<render::DeepPlan> deepPlan;
        std::shared_ptr<const deep::Reference> reuse;
        std::function<bool()> stopped;
        engine::IterBuffer* buffer = nullptr; // each row is stored here before it is published
        // Called on the worker's thread once the row is stored and the worker
        // has met the interface thread (once per row): publishes the row and
        // tells whether to go on; row -1 when a stop ends the run before its first row.
        std::function<bool(int row)> publish;
    };

    explicit TCalcOnForm(Job job);
    // Waits for the thread's very end; the run must have ended (RunEnded).
    ~TCalcOnForm() override;

    // True once the run needs the interface thread no more: freeing this
    // object then waits only for the thread's last steps (a wake-up of the
    // interface thread's event loop).
    bool RunEnded() const { return runEnded_.load(std::memory_order_acquire); }
    // The reference orbit the run drew against; null until the run has ended
    // (RunEnded) and for a picture of the extended engine or a stopped orbit.
    std::shared_ptr<const deep::Reference> DeepReference() const
    {
        return RunEnded() ? reference_ : nullptr;
    }

    // Worker objects in existence, whatever their state: a leak check for
    // the tests and the shutdown probe.
    static int LiveCount();

signals:
    // A formula threw and the run ended without its last rows; queued to the
    // receiver's thread.
    void Failed(const QString& message);

protected:
    void run() override;

private:
    void Execute();

    const Job job_;
    std::shared_ptr<const deep::Reference> reference_; // written by the run only
    std::atomic<bool> runEnded_{false};
    // The interface thread's event loop (the worker is made there).
    QAbstractEventDispatcher* const interfaceEvents_;
};
