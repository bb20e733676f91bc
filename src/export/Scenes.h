// The 3D exports and palette files written from iteration values, free of Qt:
// TGA height image, POV-Ray scene, RenderMan, .map/.gpl palettes.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "colour/Palette.h"
#include "export/AtomicFile.h"

namespace exporter {

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
