// make-icon: renders the application icon from a catalogue view with the engine, at build time.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <QImage>
#include <QString>

#include "fractals/Catalogue.h"
#include "window/ScreenPicture.h"

namespace {

// The largest square of the view's region around its centre, so the icon
// shows the picture undistorted rather than squeezed into a square.
engine::RegionValues SquareCrop(const engine::RegionValues& r)
{
    using engine::Extended;
    const Extended side = std::min(r.XWidth < 0 ? -r.XWidth : r.XWidth, r.YHeight < 0 ? -r.YHeight : r.YHeight);
    const Extended cx = r.XStart + r.XWidth / 2.0L;
    const Extended cy = r.YStart + r.YHeight / 2.0L;
    return {cx - side / 2.0L, side, cy - side / 2.0L, side};
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 4) {
        std::fprintf(stderr, "usage: make-icon OUTPUT.png [VIEW-ID] [SIZE]\n");
        return 2;
    }
    const std::string viewId = argc > 2 ? argv[2] : "FormJU3";
    const int size = argc > 3 ? std::atoi(argv[3]) : 256;
    const fractals::View* view = fractals::FindView(viewId);
    if (!view || size < 16 || size > 4096) {
        std::fprintf(stderr, "make-icon: unknown view '%s' or size out of 16..4096\n", viewId.c_str());
        return 2;
    }
    const QImage icon = screen::RenderViewImage(*view, SquareCrop(view->region.Make().Values()), size, size);
    if (!icon.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "make-icon: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
