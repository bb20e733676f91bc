// Picture files written row by row as rows are finished: PNG through libpng, and the Windows bitmap.
#include "export/PictureWriters.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <png.h>
#include <unistd.h>

#include "export/AtomicFile.h"

namespace exporter {

namespace {

// libpng reports errors by longjmp; each call into it is made from a frame
// that holds nothing with a destructor, and the C++ exceptions are thrown
// only after the jump has landed.
template <class F>
bool PngCall(png_structp png, F&& call)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    call();
    return true;
}

class PngWriter final : public PictureWriter {
public:
    PngWriter(const std::string& path, int width, int height, const std::vector<TextChunk>& text)
        : file_(path), width_(width), height_(height)
    {
        png_ = png_create_write_struct(PNG_LIBPNG_VER_STRING, this, OnError, OnWarning);
        if (png_)
            info_ = png_create_info_struct(png_);
        if (!png_ || !info_)
            throw IoError(path + ": out of memory for the PNG encoder");
        // The chunk structures point into `text`, alive until png_write_info returns.
        std::vector<png_text> chunks(text.size());
        for (std::size_t k = 0; k < text.size(); ++k) {
            png_text& c = chunks[k];
            c.compression = PNG_ITXT_COMPRESSION_NONE;
            c.key = const_cast<char*>(text[k].keyword.c_str());
            c.text = const_cast<char*>(text[k].text.c_str());
            c.itxt_length = text[k].text.size();
            c.lang = const_cast<char*>("");
            c.lang_key = const_cast<char*>("");
        }
        Check(PngCall(png_, [&] {
            png_set_write_fn(png_, this, OnWrite, nullptr);
            // The pictures are runs of palette colours, which zlib's matching
            // finds as they are: unfiltered rows at level 3 made Form1's
            // 4096 x 3072 PNG 3 % smaller than libpng's defaults (every filter,
            // level 6) in a quarter of the time (docs/performance.md).
            png_set_filter(png_, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
            png_set_compression_level(png_, 3);
            png_set_IHDR(png_, info_, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                         PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
            if (!chunks.empty())
                png_set_text(png_, info_, chunks.data(), static_cast<int>(chunks.size()));
            png_write_info(png_, info_);
        }));
    }

    ~PngWriter() override
    {
        if (png_)
            png_destroy_write_struct(&png_, info_ ? &info_ : nullptr);
    }

    void WriteRow(const std::uint8_t* rgb) override
    {
        if (rows_ >= height_)
            throw IoError(file_.Path() + ": more rows than the picture has");
        Check(PngCall(png_, [&] { png_write_row(png_, rgb); }));
        ++rows_;
    }

    void Finish() override
    {
        if (rows_ != height_)
            throw IoError(file_.Path() + ": the picture has only " + std::to_string(rows_) + " of its " +
                          std::to_string(height_) + " rows");
        Check(PngCall(png_, [&] { png_write_end(png_, nullptr); }));
        file_.Commit();
    }

private:
    static void OnError(png_structp png, png_const_charp message)
    {
        auto* self = static_cast<PngWriter*>(png_get_error_ptr(png));
        if (self->error_.empty())
            self->error_ = message;
        png_longjmp(png, 1);
    }
    static void OnWarning(png_structp, png_const_charp) {}

    static void OnWrite(png_structp png, png_bytep data, png_size_t size)
    {
        auto* self = static_cast<PngWriter*>(png_get_io_ptr(png));
        bool failed = false;
        try {
            self->file_.Write(data, size);
        } catch (const std::exception& e) {
            self->error_ = e.what();
            failed = true;
        }
        if (failed)
            png_error(png, "write failed");
    }

    void Check(bool ok)
    {
        if (ok)
            return;
        // Once libpng has failed its state is undefined: no further call.
        const std::string why = error_.empty() ? std::string("PNG encoder failed") : error_;
        if (why.rfind(file_.Path() + ":", 0) == 0)
            throw IoError(why);
        throw IoError(file_.Path() + ": " + why);
    }

    detail::AtomicFile file_;
    int width_, height_;
    int rows_ = 0;
    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
    std::string error_;
};

void Put16(std::uint8_t* p, std::uint32_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(std::uint8_t* p, std::uint32_t v)
{
    Put16(p, v);
    Put16(p + 2, v >> 16);
}

constexpr std::uint64_t kBmpHeaderSize = 54;

std::uint64_t BmpStride(int width) { return (static_cast<std::uint64_t>(width) * 3 + 3) & ~std::uint64_t{3}; }

class BmpWriter final : public PictureWriter {
public:
    BmpWriter(const std::string& path, int width, int height, std::int32_t dotsPerMeter)
        : file_(path), width_(width), height_(height), row_(BmpStride(width), 0)
    {
        if (!BmpFits(width, height))
            throw IoError(path + ": a " + std::to_string(width) + " x " + std::to_string(height) +
                          " picture is too large for a Windows bitmap (4 GiB at most)");
        const std::uint64_t image = BmpStride(width) * static_cast<std::uint64_t>(height);
        std::uint8_t h[kBmpHeaderSize] = {'B', 'M'};
        Put32(h + 2, static_cast<std::uint32_t>(kBmpHeaderSize + image)); // file size
        Put32(h + 10, static_cast<std::uint32_t>(kBmpHeaderSize));        // offset of the pixels
        Put32(h + 14, 40);                                                // info header size
        Put32(h + 18, static_cast<std::uint32_t>(width));
        Put32(h + 22, static_cast<std::uint32_t>(height)); // positive: bottom row first
        Put16(h + 26, 1);                                  // planes
        Put16(h + 28, 24);                                 // bits per pixel
        Put32(h + 34, static_cast<std::uint32_t>(image));
        Put32(h + 38, static_cast<std::uint32_t>(dotsPerMeter));
        Put32(h + 42, static_cast<std::uint32_t>(dotsPerMeter));
        file_.WriteAt(0, std::string_view(reinterpret_cast<const char*>(h), sizeof h));
    }

    void WriteRow(const std::uint8_t* rgb) override
    {
        if (rows_ >= height_)
            throw IoError(file_.Path() + ": more rows than the picture has");
        for (int c = 0; c < width_; ++c) {
            row_[3 * c + 0] = rgb[3 * c + 2];
            row_[3 * c + 1] = rgb[3 * c + 1];
            row_[3 * c + 2] = rgb[3 * c + 0];
        }
        const std::uint64_t offset = kBmpHeaderSize + static_cast<std::uint64_t>(height_ - 1 - rows_) * row_.size();
        file_.WriteAt(offset, std::string_view(reinterpret_cast<const char*>(row_.data()), row_.size()));
        ++rows_;
    }

    void Finish() override
    {
        if (rows_ != height_)
            throw IoError(file_.Path() + ": the picture has only " + std::to_string(rows_) + " of its " +
                          std::to_string(height_) + " rows");
        file_.Commit();
    }

private:
    detail::AtomicFile file_;
    int width_, height_;
    int rows_ = 0;
    std::vector<std::uint8_t> row_; // padding bytes stay 0
};

// Reading: the same longjmp discipline as the writer.
struct PngReadState {
    std::string error;
};

void OnReadError(png_structp png, png_const_charp message)
{
    auto* state = static_cast<PngReadState*>(png_get_error_ptr(png));
    if (state->error.empty())
        state->error = message;
    png_longjmp(png, 1);
}
void OnReadWarning(png_structp, png_const_charp) {}

} // namespace

std::unique_ptr<PictureWriter> OpenPngWriter(const std::string& path, int width, int height,
                                             const std::vector<TextChunk>& text)
{
    return std::make_unique<PngWriter>(path, width, height, text);
}

std::unique_ptr<PictureWriter> OpenBmpWriter(const std::string& path, int width, int height, std::int32_t dotsPerMeter)
{
    return std::make_unique<BmpWriter>(path, width, height, dotsPerMeter);
}

bool BmpFits(int width, int height)
{
    return width > 0 && height > 0 &&
           kBmpHeaderSize + BmpStride(width) * static_cast<std::uint64_t>(height) <= 0xFFFFFFFFull;
}

bool HasPngSignature(int fd)
{
    png_byte signature[8];
    return ::pread(fd, signature, sizeof signature, 0) == static_cast<ssize_t>(sizeof signature) &&
           png_sig_cmp(signature, 0, sizeof signature) == 0;
}

namespace {

// The text chunk with this keyword from an open file; `name` goes in messages.
std::optional<std::string> ReadPngTextFrom(std::FILE* file, const std::string& name, const std::string& keyword)
{
    PngReadState state;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state, OnReadError, OnReadWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    png_textp text = nullptr;
    int count = 0;
    const bool ok = png && info && PngCall(png, [&] {
        png_init_io(png, file);
        // A text chunk is a few kilobytes; a huge one is not ours.
        png_set_chunk_malloc_max(png, 8u << 20);
        png_read_info(png, info);
        count = png_get_text(png, info, &text, nullptr);
    });
    std::optional<std::string> found;
    for (int k = 0; ok && k < count; ++k)
        if (keyword == text[k].key) {
            const std::size_t length = text[k].compression > 0 ? text[k].itxt_length : text[k].text_length;
            found = std::string(text[k].text, length);
            break;
        }
    if (png)
        png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    if (!ok)
        throw IoError(name + ": not a readable PNG picture (" + (state.error.empty() ? "out of memory" : state.error) + ")");
    return found;
}

} // namespace

std::optional<std::string> ReadPngText(const std::string& path, const std::string& keyword)
{
    std::FILE* file = std::fopen(path.c_str(), "rbe");
    if (!file)
        throw IoError(path + ": " + detail::ErrnoText(errno));
    struct Closer {
        std::FILE* file;
        ~Closer() { std::fclose(file); }
    } closer{file};
    return ReadPngTextFrom(file, path, keyword);
}

std::optional<std::string> ReadPngTextFromBytes(std::string_view bytes, const std::string& name, const std::string& keyword)
{
    // fmemopen refuses an empty buffer; no bytes are no PNG either.
    static const char kNothing = 0;
    std::FILE* file = ::fmemopen(const_cast<char*>(bytes.empty() ? &kNothing : bytes.data()), bytes.empty() ? 1 : bytes.size(), "rb");
    if (!file)
        throw IoError(name + ": " + detail::ErrnoText(errno));
    struct Closer {
        std::FILE* file;
        ~Closer() { std::fclose(file); }
    } closer{file};
    return ReadPngTextFrom(file, name, keyword);
}

} // namespace exporter
