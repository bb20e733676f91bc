// The RenderMan (RIB) scene: a fixed camera, lights and floor, and the fractal as bicubic patch meshes.
#include <charconv>
#include <string>

#include "engine/Region.h"
#include "export/Scenes.h"

namespace exporter {

namespace {

constexpr int kStep = 5; // sampling step in pixels
constexpr int kMeshes = 1021 / kStep + 1; // 205
constexpr int kMeshRows = 765 / kStep;    // 153
constexpr long double kXStep = kStep * 6.0L / 1024.0L;
constexpr long double kYStep = -kStep * 6.0L / 768.0L;
constexpr long double kHeightScale = 0.02L;

// General format, 6 significant digits, padded with blanks to 10 characters.
// to_chars never consults the locale, so the decimal separator is always '.'.
void AppendNumber(std::string& out, long double v)
{
    char text[64];
    const std::to_chars_result res = std::to_chars(text, text + sizeof text, v, std::chars_format::general, 6);
    const auto length = static_cast<std::size_t>(res.ptr - text);
    out.append(text, length);
    if (length < 10)
        out.append(10 - length, ' ');
}

void AppendPoint(std::string& out, std::span<const std::uint8_t> buffer, int c, int r)
{
    // For the last strip (c = 205) the flat index reaches column 1 of the next
    // row; with r at most 153 it stays inside the buffer.
    const std::size_t index = static_cast<std::size_t>(r * kStep) * engine::kBufferWidth +
                              static_cast<std::size_t>(c * kStep);
    AppendNumber(out, static_cast<long double>(c) * kXStep - 3.0L);
    out += ' ';
    AppendNumber(out, static_cast<long double>(r) * kYStep);
    out += ' ';
    AppendNumber(out, static_cast<long double>(buffer[index]) * kHeightScale);
}

} // namespace

void WriteRenderMan(const std::string& path, std::span<const std::uint8_t> buffer)
{
    if (buffer.size() < static_cast<std::size_t>(engine::kBufferCells))
        throw std::invalid_argument("WriteRenderMan: the buffer holds fewer than 1024 x 768 values");
    static const char* const kHead[] = {
        "version 3.03",
        "",
        "Format 400 400 1",
        "PixelSamples 1 1",
        "Option \"searchpath\" \"shader\" [\".:../shaders:&\"]",
        "Display \"quillon.tif\" \"file\" \"rgba\"",
        "Projection \"perspective\"  \"fov\" [18]",
        "ShadingRate 1",
        "",
        "ConcatTransform [0.995037 -0.0170699 -0.0980286 0 -0.0995037 -0.170699 -0.980286 0 1.86265e-09 0.985175 "
        "-0.17155 0 0 0 0 1]",
        "Translate -2 -20 -8",
        "",
        "WorldBegin",
        "LightSource \"ambientlight\" 0 \"intensity\" [0.25]",
        "Attribute \"light\" \"shadows\" [\"on\"]",
        "LightSource \"spotlight\" 1 \"intensity\" [300] \"from\" [ 2 4.5 20 ] \"to\" [ 0 -1.5 0 ] \"coneangle\" "
        "[0.35]",
        "",
        "AttributeBegin",
        "Attribute \"identifier\" \"name\" [\"Floor\"]",
        "Attribute \"render\" \"casts_shadows\" [\"none\"]",
        "Scale 10 10 10",
        "Declare \"Kr\" \"float\"",
        "Surface \"superplank\" \"Kr\" 0",
        "Patch \"bilinear\" \"P\" [-10 -10 0  10 -10 0  -10 10 0  10 10 0]",
        "AttributeEnd",
        "",
        "AttributeBegin",
        "Color [ .5 .25 .8 ]",
        "Translate  -0 -0 1",
        "Rotate 0 0 0 0",
        "",
    };
    static_assert(sizeof(kHead) / sizeof(kHead[0]) == 31);

    std::string out;
    out.reserve(2500000);
    for (const char* line : kHead) {
        out.append(line);
        out += "\r\n";
    }
    const std::string meshHeader = "PatchMesh \"bicubic\" 2 \"nonperiodic\" " + std::to_string(kMeshRows) +
                                  " \"nonperiodic\" \"P\" [\r\n";
    for (int k = 0; k < kMeshes; ++k) {
        out += meshHeader;
        for (int r = 1; r <= kMeshRows; ++r) {
            AppendPoint(out, buffer, k, r);
            out += "       ";
            AppendPoint(out, buffer, k + 1, r);
            out += "\r\n";
        }
        out += "]\r\n";
    }
    out += "AttributeEnd\r\nWorldEnd\r\n";
    detail::ReplaceFile(path, out);
}

} // namespace exporter
