// Picture files written row by row as rows are finished: PNG through libpng, and the Windows bitmap.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace exporter {

// Takes a picture's rows top to bottom, 3 bytes a pixel (red, green, blue),
// and makes the file appear when the last row is in: until Finish returns
// the target is untouched, and a writer destroyed before (a failure, a
// cancelled render) leaves no file behind. Every failure throws IoError.
class PictureWriter {
public:
    virtual ~PictureWriter() = default;
    virtual void WriteRow(const std::uint8_t* rgb) = 0;
    virtual void Finish() = 0;
};

// A PNG text chunk (iTXt, UTF-8, uncompressed), written before the image
// data so a reader finds it without decoding the picture.
struct TextChunk {
    std::string keyword;
    std::string text;
};

// An 8-bit RGB PNG, non-interlaced, rows compressed as they come.
std::unique_ptr<PictureWriter> OpenPngWriter(const std::string& path, int width, int height,
                                             const std::vector<TextChunk>& text = {});

// The resolution QImage gives a new image (100 dots per inch), which the
// bitmaps written so far carry.
inline constexpr std::int32_t kBmpDotsPerMeter = 3937;

// The 24-bit bottom-up Windows bitmap the 1024 x 768 save has always
// written (54-byte header, rows padded to 4 bytes), at any size whose file
// fits the format's 32-bit size fields. Rows go to their place in the file
// as they come, the last row of the file first.
std::unique_ptr<PictureWriter> OpenBmpWriter(const std::string& path, int width, int height,
                                             std::int32_t dotsPerMeter = kBmpDotsPerMeter);
// Whether a width x height bitmap fits the format (file size below 4 GiB).
bool BmpFits(int width, int height);

// Whether the open file begins with the PNG signature.
bool HasPngSignature(int fd);

// The text of the first text chunk (tEXt, zTXt or iTXt) with this keyword
// among those before the image data, or nothing. Throws IoError when the
// file cannot be read or is not a PNG.
std::optional<std::string> ReadPngText(const std::string& path, const std::string& keyword);
// The same from a picture held in memory; `name` is used in messages only.
std::optional<std::string> ReadPngTextFromBytes(std::string_view bytes, const std::string& name,
                                                const std::string& keyword);

} // namespace exporter
