// The Julia explorer's panel: the Julia set of the point under the mouse, coarse first, then full.
#pragma once

#include <QImage>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>

#include "render/JuliaPreview.h"

namespace window {

class JuliaPreviewPanel : public QWidget {
    Q_OBJECT
public:
    explicit JuliaPreviewPanel(QWidget* parent = nullptr, engine::RowPool& pool = engine::RowPool::Instance());
    ~JuliaPreviewPanel() override;

    // Asks for the preview of c in these colours; the picture in progress is dropped.
    void Follow(engine::Extended cx, engine::Extended cy, const render::Colours& colours);
    // Drops the picture in progress (the mouse left the picture, the panel was hidden).
    void Stop();

    // The picture shown and what it is of (for the caption and the tests).
    const QImage& Picture() const { return picture_; }
    bool ShowsFull() const { return shownFull_; }
    std::uint64_t ShownRequest() const { return shownRequest_; }
    std::uint64_t NewestRequest() const { return newest_; }
    engine::Extended ShownRe() const { return shownRe_; }
    engine::Extended ShownIm() const { return shownIm_; }

signals:
    // A picture arrived (coarse or full).
    void PictureShown();
    // Emitted on the preview's thread: a picture waits in arrived_.
    void PictureArrived();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void TakeArrived();
    void Arrived(const render::PreviewPicture& p);

    // The newest picture from the preview's thread, taken on this one.
    std::mutex arrivedMutex_;
    std::optional<render::PreviewPicture> arrived_;

    QImage picture_;
    bool shownFull_ = false;
    std::uint64_t shownRequest_ = 0;
    std::uint64_t newest_ = 0;
    engine::Extended shownRe_ = 0.0L, shownIm_ = 0.0L;
    std::unique_ptr<render::JuliaPreview> preview_; // last: it goes first, so no picture arrives for a dead panel
};

} // namespace window
