// View ▸ Sharp Picture: the window's view computed exactly at the size of the view in device pixels, for display only.
#pragma once

#include <QImage>
#include <QObject>
#include <QSize>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "engine/PointSets.h"
#include "engine/Region.h"
#include "window/ScreenPicture.h"

class QAction;
class QTimer;
class TFormBasicTamoSet;

namespace window {

// The values of a region at any size, computed on the windows' row pool,
// and their colours: what the view shows when the picture is sharp. The
// calling thread collects the rows; `cancel` stops it between rows (the
// result is then empty).
std::vector<std::uint8_t> SharpValues(const engine::RegionValues& region, const engine::TBasicSet& prototype,
                                      engine::TValueFunction function, QSize size, const std::atomic<bool>* cancel = nullptr);
QImage SharpImage(const std::vector<std::uint8_t>& values, QSize size, const screen::PixelTable& colours);

// Off by default: the window then looks as it always has (the 1024 x 768
// picture stretched, smoothly). On, each finished picture is followed by
// the same view computed at the view's own size in device pixels (real
// pixels at a scale factor of 2), which the view then shows instead; saving,
// the clipboard and the exports keep using IterBuffer. The values are kept,
// so a recolouring is instant; a new view or size computes them again.
class SharpPicture : public QObject {
    Q_OBJECT
public:
    explicit SharpPicture(TFormBasicTamoSet* form);
    ~SharpPicture() override;
    SharpPicture(const SharpPicture&) = delete;
    SharpPicture& operator=(const SharpPicture&) = delete;

    QAction* MMSharpPicture = nullptr; // View ▸ "Sharp Picture", checkable
    bool Enabled() const;
    // A computation is on its way.
    bool Busy() const { return worker_.joinable(); }
    // The size in device pixels a sharp picture of the view has now.
    QSize DeviceSize() const;

signals:
    // A sharp picture is in the view (tests and benchmarks wait for it).
    void Shown();

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // What the values were computed for.
    struct Key {
        engine::Region region;
        engine::TValueFunction function = nullptr;
        const engine::TBasicSet* set = nullptr;
        QSize size;
        bool operator==(const Key&) const = default;
    };
    Key CurrentKey() const;
    // Called whenever the view's picture changes: a new calculation drops
    // the sharp picture, an idle window gets it (again).
    void PictureChanged();
    void Update();
    void Cancel();
    // Looks whether the computation has ended; takes its values when it has.
    void Poll();
    void Show();

    TFormBasicTamoSet* form_;
    QTimer* resized_ = nullptr; // a resize settles before a computation starts
    QTimer* poll_ = nullptr;
    // The computation's thread owns what it reads and writes only result_
    // and failure_, then sets done_ (release); this thread reads them after
    // an acquire of done_. No message crosses between the threads.
    std::thread worker_;
    std::atomic<bool> cancel_{false};
    std::atomic<bool> done_{false};
    std::vector<std::uint8_t> result_;
    std::string failure_;
    Key pending_;
    bool haveValues_ = false;
    Key valuesKey_;
    std::vector<std::uint8_t> values_;
};

} // namespace window
