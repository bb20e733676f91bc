// Helpers of the fractal window tests: opening a window, waiting for its calculation, reference results.
#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <string>
#include <gtest/gtest.h>
#include <vector>

#include "engine/Compute.h"
#include "export/Scenes.h"
#include "fractals/Catalogue.h"
#include "window/ErrorReport.h"
#include "window/FormBasicTamoSet.h"
#include "ScriptedDialogs.h"
#include "window/ScreenPicture.h"

namespace guitest {

// A whole picture takes a few seconds at most; this is far beyond.
inline constexpr int kCalculationTimeoutMs = 60000;

// Shows and activates the window as the launcher does; true once it is active.
inline bool OpenWindow(QWidget& w)
{
    w.show();
    w.raise();
    w.activateWindow();
    return QTest::qWaitForWindowActive(&w);
}

// Processes events until the condition holds, without the pauses of
// QTest::qWaitFor: a worker waits for the interface thread after every row,
// so a pause per batch of events would slow a calculation a hundredfold.
inline bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = kCalculationTimeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    QTimer wake; // re-tests the condition even when nothing else happens
    wake.start(20);
    while (!condition()) {
        if (clock.elapsed() > timeoutMs)
            return condition();
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}

// Processes events for the given time.
inline void Pump(int ms)
{
    QElapsedTimer clock;
    clock.start();
    WaitUntil([&] { return clock.elapsed() >= ms; }, ms + 1000);
}

inline bool WaitForCalculation(TFormBasicTamoSet& w)
{
    return WaitUntil([&] { return !w.IsCalculating(); });
}

// The buffer the engine computes for a region, set and value function.
inline std::vector<std::uint8_t> ReferenceBuffer(const engine::Region& region, const engine::TBasicSet& prototype,
                                                 engine::TValueFunction fn)
{
    std::vector<std::uint8_t> out(engine::kBufferCells);
    engine::ComputeBuffer(region.Values(), prototype, fn, 2, out.data());
    return out;
}

inline std::vector<std::uint8_t> ReferenceBuffer(const char* viewId)
{
    const fractals::View* view = fractals::FindView(viewId);
    return ReferenceBuffer(view->region.Make(), *fractals::MakePointSet(*view->window), view->function);
}

// The picture the window's values give in its current colours, painted by
// the exporter (whose pixels tests/export checks against PixelColour cell by cell).
inline QImage ExpectedPicture(const TFormBasicTamoSet& w)
{
    const std::vector<std::uint8_t> values = w.IterBuffer.Snapshot();
    return screen::RenderPicture(values, w.Palette, w.CurrentAdjust()).convertToFormat(QImage::Format_RGB32);
}

inline QImage Rgb32(const QImage& image) { return image.convertToFormat(QImage::Format_RGB32); }

// What the output tests share: a scratch folder, the messages the error
// handler would have shown, and the save dialogs answered without a dialog.
class OutputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        testseam::Dialogs().error = [this](const QString& m) { messages.push_back(m); };
    }
    void TearDown() override
    {
        testseam::Dialogs().saveFile = nullptr;
        testseam::Dialogs().colour = nullptr;
        testseam::Dialogs().error = nullptr;
    }

    // Answers the save dialogs with `name`, recording what each was asked to show.
    void Answer(const QString& name)
    {
        testseam::Dialogs().saveFile = [this, name](const SaveDialogSettings& settings) {
            asked.push_back(settings);
            WhenAsked();
            return name;
        };
    }
    virtual void WhenAsked() {}

    QStringList Files() const { return QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot); }

    QTemporaryDir dir;
    std::vector<SaveDialogSettings> asked;
    std::vector<QString> messages;
};

// A file name as the C library and the core's writers take it.
inline std::string Bytes(const QString& name) { return QFile::encodeName(name).toStdString(); }

} // namespace guitest
