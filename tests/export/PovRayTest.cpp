// Renders an exported scene and height image with the real POV-Ray.
#include <sys/wait.h>
#include <unistd.h>

#include <set>

#include <QImage>
#include <QStandardPaths>

#include "TestFiles.h"
#include "engine/Compute.h"
#include "export/Scenes.h"
#include "fractals/Catalogue.h"

namespace {

// POV-Ray as a user starts it: found through PATH, with its installed
// settings (which name the folder of the include files the scene needs).
std::string PovRay()
{
    return QStandardPaths::findExecutable(QStringLiteral("povray")).toStdString();
}

// Exports the buffer as the window's export does and renders it at 160 x 120.
QImage ExportAndRender(const testfiles::TempDir& dir, const std::string& name, const std::vector<std::uint8_t>& buffer)
{
    std::string camera, light;
    exporter::ApplyExportChoices(exporter::ExportChoices{}, camera, light);
    const std::string scene = exporter::SceneName(dir / name);
    const std::string image = exporter::HeightImageName(scene);
    exporter::WriteHeightImage(image, buffer);
    exporter::WritePovScene(scene, camera, light, image);

    const std::string png = dir / (name + ".png");
    const std::string log = dir / (name + ".log");
    const std::string command = "cd '" + dir.path().string() + "' && '" + PovRay() + "' +W160 +H120 -D +O'" +
                                png + "' '" + scene + "' >'" + log + "' 2>&1";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << testfiles::ReadText(log);
    return QImage(QString::fromStdString(png));
}

} // namespace

TEST(PovRay, RendersTheExportOfAComputedView)
{
    ASSERT_FALSE(PovRay().empty()) << "povray is not on PATH: scripts/setup.sh installs povray and povray-includes";

    const fractals::View* view = fractals::FindView("FormJU3");
    ASSERT_NE(view, nullptr);
    const engine::Region region = view->region.Make();
    const std::unique_ptr<engine::TBasicSet> set = fractals::MakePointSet(*view->window);
    std::vector<std::uint8_t> buffer(engine::kBufferCells);
    engine::ComputeBuffer(region.Values(), *set, view->function, 0, buffer.data());

    // POV-Ray's default security settings let it read and write below /tmp.
    testfiles::TempDir dir("/tmp");
    const QImage picture = ExportAndRender(dir, "julia", buffer);
    ASSERT_FALSE(picture.isNull());
    ASSERT_EQ(picture.size(), QSize(160, 120));
    std::set<QRgb> colours;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            colours.insert(picture.pixel(x, y));
    EXPECT_GT(colours.size(), 10u) << "the rendered landscape is (nearly) uniform";

    // The heights reach the renderer: a flat field looks clearly different.
    const QImage flat = ExportAndRender(dir, "flat", std::vector<std::uint8_t>(engine::kBufferCells, 0));
    ASSERT_EQ(flat.size(), picture.size());
    int differing = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb a = picture.pixel(x, y), b = flat.pixel(x, y);
            differing += std::abs(qGray(a) - qGray(b)) > 16;
        }
    EXPECT_GT(differing, 160 * 120 / 10);
}
