// 64 x 51 thumbnails of the catalogue views for the launcher and the Types buttons, rendered off the interface thread.
#pragma once

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QString>

#include <atomic>
#include <map>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

class QAbstractButton;

namespace fractals {
struct View;
}

class ThumbnailRenderer : public QObject {
    Q_OBJECT
public:
    static constexpr int kWidth = 64;
    static constexpr int kHeight = 51;

    // Starts rendering every catalogue view at once; one renderer at a time.
    explicit ThumbnailRenderer(QObject* parent = nullptr);
    // Stops the rendering after the view in progress and joins its thread.
    ~ThumbnailRenderer() override;

    static ThumbnailRenderer* Current();
    // Puts the view's thumbnail on the button now, or when it is ready. Does
    // nothing while no renderer exists.
    static void Attach(const QString& viewId, QAbstractButton* button);

    // The view over its own region on a 64 x 51 grid, coloured as its window
    // first colours it.
    static QImage Render(const fractals::View& view);

    QImage Thumbnail(const QString& viewId) const;
    bool AllReady() const { return readyCount_ == total_; }

signals:
    void Finished();
    // Emitted on the rendering thread after each view; queued to Deliver. It
    // carries nothing: the pictures travel through pending_ under the mutex.
    void Rendered();

private:
    void Run();
    void Deliver();

    std::thread worker_;
    std::atomic<bool> cancel_{false};
    std::mutex mutex_;                                  // guards pending_
    std::vector<std::pair<QString, QImage>> pending_;   // rendered, not yet delivered
    std::map<QString, QImage> ready_;                   // interface thread only
    std::multimap<QString, QPointer<QAbstractButton>> waiting_;
    int readyCount_ = 0;
    int total_ = 0;
};
