// The POV-Ray export: the block-buffered byte writer, the TGA height image and the scene file.
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <mutex>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/Region.h"
#include "export/Scenes.h"

namespace exporter {

// ---- IODISK ----

namespace {

[[noreturn]] void FailErrno(const std::string& name, const char* what, int error)
{
    throw IoError(name + ": " + what + ": " + detail::ErrnoText(error));
}

} // namespace

IODISK::~IODISK()
{
    if (handle >= 0)
        ::close(handle);
}

namespace {

// Loads block `b` into the buffer: as many bytes as the file has there. The
// rest of the buffer is cleared, so a byte written past a gap never drags
// stale bytes of another block into the file.
void LoadBlock(IODISK& f, std::int32_t b)
{
    const off_t base = static_cast<off_t>(b) * IODISK::kBlockSize;
    std::size_t got = 0;
    while (got < f.buffer.size()) {
        const ssize_t n = ::pread(f.handle, f.buffer.data() + got, f.buffer.size() - got, base + static_cast<off_t>(got));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            FailErrno(f.name, "read", errno);
        }
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    std::fill(f.buffer.begin() + static_cast<std::ptrdiff_t>(got), f.buffer.end(), std::uint8_t{0});
    f.validBytes = static_cast<std::int32_t>(got);
    f.block = b;
    ++f.blockReads;
}

} // namespace

void IODISK::Open(const std::string& fileName)
{
    if (handle >= 0)
        throw IoError(fileName + ": open: the writer already has " + name + " open");
    name = fileName;
    handle = ::open(fileName.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (handle < 0)
        FailErrno(name, "open", errno);
    blockReads = 0;
    blockWrites = 0;
    dirty = 0;
    LoadBlock(*this, 0);
}

void IODISK::Flush()
{
    if (!dirty)
        return;
    if (handle < 0)
        throw IoError(name + ": write: the file is not open");
    const off_t base = static_cast<off_t>(block) * kBlockSize;
    std::size_t put = 0;
    const auto total = static_cast<std::size_t>(validBytes);
    while (put < total) {
        const ssize_t n = ::pwrite(handle, buffer.data() + put, total - put, base + static_cast<off_t>(put));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            FailErrno(name, "write", errno);
        }
        if (n == 0)
            FailErrno(name, "write", EIO);
        put += static_cast<std::size_t>(n);
    }
    dirty = 0;
    ++blockWrites;
}

void IODISK::WriteByte(std::int64_t position, std::uint8_t value)
{
    if (handle < 0)
        throw IoError(name + ": write: the file is not open");
    constexpr std::int64_t kLimit = static_cast<std::int64_t>(INT32_MAX) * kBlockSize;
    if (position < 0 || position >= kLimit)
        FailErrno(name, "write", EINVAL);
    const auto b = static_cast<std::int32_t>(position / kBlockSize);
    const auto o = static_cast<std::int32_t>(position % kBlockSize);
    if (b != block) {
        Flush();
        LoadBlock(*this, b);
    }
    buffer[static_cast<std::size_t>(o)] = value;
    dirty = 1;
    if (validBytes < o + 1)
        validBytes = o + 1;
}

void IODISK::Truncate(std::int64_t size)
{
    if (handle < 0)
        throw IoError(name + ": truncate: the file is not open");
    Flush();
    struct stat st {};
    if (::fstat(handle, &st) != 0)
        FailErrno(name, "stat", errno);
    if (!S_ISREG(st.st_mode))
        return;
    if (::ftruncate(handle, static_cast<off_t>(size)) != 0)
        FailErrno(name, "truncate", errno);
}

void IODISK::Close()
{
    if (handle < 0)
        return;
    Flush();
    const int h = handle;
    handle = -1;
    if (::close(h) != 0)
        FailErrno(name, "close", errno);
}

// ---- TGA header ----

namespace {

constexpr std::array<std::uint8_t, kTgaHeaderSize> MakeTgaTemplate()
{
    std::array<std::uint8_t, kTgaHeaderSize> h{};
    h[0] = 0;                  // no image ID
    h[1] = 1;                  // colour map present
    h[2] = 1;                  // uncompressed, colour-mapped
    h[3] = 0, h[4] = 0;        // first colour map entry
    h[5] = 0, h[6] = 1;        // 256 colour map entries
    h[7] = 24;                 // bits per entry
    h[8] = h[9] = h[10] = h[11] = 0; // origin
    h[12] = 500 % 256, h[13] = 500 / 256;
    h[14] = 400 % 256, h[15] = 400 / 256;
    h[16] = 8; // bits per pixel
    h[17] = 0; // origin at the lower left
    constexpr std::uint8_t L6[6] = {0x00, 0x55, 0x80, 0xAA, 0xD5, 0xFF};
    constexpr std::uint8_t L7[7] = {0x00, 0x2B, 0x55, 0x80, 0xAA, 0xD5, 0xFF};
    constexpr std::uint8_t greys[4] = {0x3F, 0x6B, 0x95, 0xC3};
    for (int n = 0; n < 256; ++n) {
        std::uint8_t blue, green, red;
        if (n <= 250) {
            blue = L6[n / 42];
            green = L7[(n % 42) / 6];
            red = L6[n % 6];
        } else if (n <= 254) {
            blue = green = red = greys[n - 251];
        } else {
            blue = green = red = 0xFF;
        }
        h[18 + 3 * n] = blue;
        h[18 + 3 * n + 1] = green;
        h[18 + 3 * n + 2] = red;
    }
    return h;
}

constexpr std::array<std::uint8_t, kTgaHeaderSize> kTgaTemplate = MakeTgaTemplate();

std::atomic<bool> tgaHeaderReady{false};

} // namespace

std::array<std::uint8_t, kTgaHeaderSize> TgaHeader{};

void InitTgaHeader()
{
    TgaHeader = kTgaTemplate;
    tgaHeaderReady.store(true, std::memory_order_release);
}

void SetTgaHeaderSize(int width, int height)
{
    TgaHeader[12] = static_cast<std::uint8_t>(width % 256);
    TgaHeader[13] = static_cast<std::uint8_t>(width / 256);
    TgaHeader[14] = static_cast<std::uint8_t>(height % 256);
    TgaHeader[15] = static_cast<std::uint8_t>(height / 256);
}

// ---- Height image ----

void WriteHeightImage(const std::string& path, std::span<const std::uint8_t> buffer)
{
    IODISK f;
    WriteHeightImage(path, buffer, f);
}

void WriteHeightImage(const std::string& path, std::span<const std::uint8_t> buffer, IODISK& f)
{
    if (buffer.size() < static_cast<std::size_t>(engine::kBufferCells))
        throw std::invalid_argument("WriteHeightImage: the buffer holds fewer than 1024 x 768 values");
    if (!tgaHeaderReady.load(std::memory_order_acquire))
        InitTgaHeader();
    f.Open(path);
    SetTgaHeaderSize(engine::kBufferWidth, engine::kBufferHeight);
    for (int p = 0; p < kTgaHeaderSize; ++p)
        f.WriteByte(p, TgaHeader[static_cast<std::size_t>(p)]);
    for (int r = 0; r < engine::kBufferHeight; ++r)
        for (int c = 0; c < engine::kBufferWidth; ++c) {
            const std::int64_t i = static_cast<std::int64_t>(r) * engine::kBufferWidth + c;
            f.WriteByte(kTgaHeaderSize + i, buffer[static_cast<std::size_t>(i)]);
        }
    // The file is opened without truncation; an older, longer file would keep
    // its tail after the image and no longer be a valid TGA of this size.
    f.Truncate(kHeightImageSize);
    f.Close();
}

// ---- Scene ----

namespace {

const char* const kSkyLeft = "location <-500.0, 300.0, +0.0> // view from sky left";
const char* const kFloorLeft = "location <-320.0, 30.0, +0.0> // view from floor left";
const char* const kSkyRight = "location <+500.0, 300.0, +0.0> // view from sky right";
const char* const kFloorRight = "location <+320.0, 30.0, +0.0> // view from floor right";
const char* const kTop = "location <0.0, 300.0, +0.0> // view from top";
const char* const kHighAbove = "location <0.0, 600.0, +0.0> // view from top";
const char* const kLightLeft = "light_source { <-600.0, 400.0, -300.0> color MainLight } // light on left";
const char* const kLightRight = "light_source { <+600.0, 400.0, -300.0> color MainLight } // light on rigth";

} // namespace

void ApplyExportChoices(const ExportChoices& c, std::string& cameraLocation, std::string& lightSource)
{
    if (c.camLeft && c.comboText == "View from sky")
        cameraLocation = kSkyLeft;
    if (c.camLeft && c.comboText == "View from floor")
        cameraLocation = kFloorLeft;
    if (c.camRight && c.comboText == "View from sky")
        cameraLocation = kSkyRight;
    if (c.camRight && c.comboText == "View from floor")
        cameraLocation = kFloorRight;
    if (c.comboText == "View from top")
        cameraLocation = kTop;
    if (c.comboText == "View from high above")
        cameraLocation = kHighAbove;
    lightSource = c.lightLeft ? kLightLeft : kLightRight;
}

std::string SceneName(const std::string& chosen)
{
    std::string upper = chosen;
    for (char& ch : upper)
        if (ch >= 'a' && ch <= 'z')
            ch = static_cast<char>(ch - 'a' + 'A');
    if (upper.find(".POV") != std::string::npos)
        return chosen;
    return chosen + ".pov";
}

void WritePovScene(const std::string& path, const std::string& cameraLocation, const std::string& lightSource,
                   const std::string& heightImageName)
{
    const std::string lines[] = {
        "global_settings { assumed_gamma 2.2 }",
        "",
        "#include \"shapes.inc\"",
        "#include \"colors.inc\"",
        "#include \"textures.inc\"",
        "",
        "camera {",
        cameraLocation,
        "   direction <0.0, 0.0, 1.0> // \"Telephoto\" lens, \"compresses\" distance",
        "   up <0.0, 1.0, 0.0>        // The distance also seems to smooth the h-field",
        "   right <4/4, 0.0, 0.0> ",
        "   look_at <0.0, 0.0, 0.0> ",
        "}",
        "",
        "// Define a couple of colors for the light sources.",
        "#declare FractalColor = color red 1 green 1 blue 1; // change this line",
        "#declare FractalHeight = 75;",
        "// #declare FractalHeight = 300; // <== try this",
        "#declare MainLight = color red 0.8 green 0.8 blue 0.8;",
        "#declare FillLight = color red 0.23 green 0.23 blue 0.25;",
        "",
        "// Light source (main)",
        lightSource,
        "// Light source ( shadow filler )",
        "// light_source { <-50.0, 300.0, -60.0> color FillLight }",
        "",
        "height_field  {",
        "   tga \"" + heightImageName + "\"",
        "   water_level 0.0",
        "   pigment { FractalColor }",
        "   finish {",
        "      crand 0.025         // dither  ",
        "      ambient 0.2         // Very dark shadows",
        "      diffuse 0.8         // Whiten the whites",
        "      phong 0.75          // Fairly shiny",
        "      phong_size 100.0    // with tight highlights",
        "      specular 1.0",
        "      roughness 0.005",
        "   }",
        "   scale <640, FractalHeight, 480>",
        "   translate <-320, 0.0, -240>  // Center the image by half of ScaleX and ScaleZ",
        "}",
    };
    static_assert(sizeof(lines) / sizeof(lines[0]) == 42);
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    detail::ReplaceFile(path, text);
}

} // namespace exporter
