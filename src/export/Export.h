// File writers of the picture and the 3D exports: BMP, TGA height image, POV-Ray scene, RenderMan.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

#include <QImage>
#include <QString>

#include "colour/Palette.h"
#include "engine/IterBuffer.h"
#include "engine/Region.h"
#include "export/AtomicFile.h"

namespace fractals {
struct View;
}

namespace exporter {

// ---- the picture ----
// The one painter of pictures from iteration values: the window's progressive
// display and recolouring, its saved and copied picture, and the command
// line's bitmap all paint through these.

// The 256 cell colours (PixelColour) as opaque QImage::Format_RGB32 pixels.
using PixelTable = std::array<std::uint32_t, 256>;
PixelTable PictureColours(const colour::TPaletteTable& palette, const colour::ColourAdjust& adjust);

// Paints line `row` of a 1024-wide Format_RGB32 image from the row's 1024
// values. A run of equal values is filled in one go with the colour of its
// first cell.
void PaintPictureRow(QImage& image, int row, const std::uint8_t* values, const PixelTable& pixels);

// The 1024 x 768 picture painted from a buffer (786,432 bytes, row 0 first)
// with PixelColour: a 24-bit colour image (QImage::Format_RGB32).
QImage RenderPicture(std::span<const std::uint8_t> buffer, const colour::TPaletteTable& palette,
                     const colour::ColourAdjust& adjust);
// The same from a window's buffer, read as it is now.
QImage RenderPicture(const engine::IterBuffer& buffer, const colour::TPaletteTable& palette,
                     const colour::ColourAdjust& adjust);

// The picture of `view` over `region` on a width × height grid, coloured with
// the default VGA palette and the window's colour offset: the launcher's and
// the Types buttons' thumbnails, the export dialog's picture and the icon. The
// grid generalises the window's cell mapping: column j lies at ((j × XWidth) ×
// (1/(width−1))) + XStart, row i likewise, so the corners are the region's
// corners as in the 1024 × 768 picture. Sizes below 2 are raised to 2.
QImage RenderViewImage(const fractals::View& view, const engine::RegionValues& region, int width, int height);
// The same over the view's own start region.
QImage RenderViewImage(const fractals::View& view, int width, int height);

// Writes the image as a Windows bitmap, replacing the target atomically: a
// failure leaves an existing file untouched and no partial file. Throws IoError.
void SaveBmp(const QImage& image, const QString& path);

// ---- POV-Ray height field ----

// A byte-addressed output file with a write-back block buffer. The file is
// opened without truncation: bytes past the last one written keep their old
// contents. Every operation throws IoError on failure.
struct IODISK {
    static constexpr int kBlockSize = 2048;

    int handle = -1;   // the platform file handle
    std::string name;  // the file name
    std::array<std::uint8_t, kBlockSize> buffer{};
    std::int32_t validBytes = 0; // bytes of the buffered block that belong to the file
    std::uint8_t dirty = 0;
    std::int32_t block = 0; // block n covers positions n*2048 .. n*2048+2047

    // How many blocks were read from and written back to the file since Open.
    std::int64_t blockReads = 0;
    std::int64_t blockWrites = 0;

    IODISK() = default;
    IODISK(const IODISK&) = delete;
    IODISK& operator=(const IODISK&) = delete;
    ~IODISK(); // releases the handle of a file left open by a failure, without flushing

    void Open(const std::string& fileName);
    void WriteByte(std::int64_t position, std::uint8_t value);
    void Flush();
    // Cuts (or extends) a regular file to `size` bytes; other kinds of file are left as they are.
    void Truncate(std::int64_t size);
    void Close();
};

inline constexpr int kTgaHeaderSize = 786;
inline constexpr std::int64_t kHeightImageSize = 787218;

// The working header, filled from its template at start-up.
extern std::array<std::uint8_t, kTgaHeaderSize> TgaHeader;
void InitTgaHeader(); // copies the template (500 x 400) into TgaHeader
void SetTgaHeaderSize(int width, int height);

// Statements chosen by the options dialog (ButSaveClick). Each test is made
// independently, in order; a text matching no entry keeps cameraLocation.
struct ExportChoices {
    bool camLeft = true;   // RbCamLeft
    bool camRight = false; // RBCamRight
    std::string comboText = "View from sky";
    bool lightLeft = true; // RBLightLeft
};
void ApplyExportChoices(const ExportChoices& c, std::string& cameraLocation, std::string& lightSource);

// ".pov" appended unless the name contains ".pov" in any letter case anywhere.
std::string SceneName(const std::string& chosen);
inline std::string HeightImageName(const std::string& sceneName) { return sceneName + ".tga"; }

// Writes the 787,218-byte height image through IODISK. Throws IoError.
void WriteHeightImage(const std::string& path, std::span<const std::uint8_t> buffer);
// The same through the caller's writer (closed on return), which then tells
// how many blocks went to the file.
void WriteHeightImage(const std::string& path, std::span<const std::uint8_t> buffer, IODISK& file);
// The 42-line scene, CR LF line ends. Throws IoError.
void WritePovScene(const std::string& path, const std::string& cameraLocation, const std::string& lightSource,
                   const std::string& heightImageName);

// ---- RenderMan ----
// The 31,808-line RIB scene. Throws IoError.
void WriteRenderMan(const std::string& path, std::span<const std::uint8_t> buffer);

// ---- palette files ----

// Writes the 256 entries as a .map or .gpl file (chosen by the extension),
// replacing the target atomically. Throws colour::PaletteFileError for any
// other name, before touching the disk, and IoError when writing fails.
void SavePaletteFile(const std::string& path, const colour::TPaletteTable& palette, std::string_view name);

} // namespace exporter
