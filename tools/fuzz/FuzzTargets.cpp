// libFuzzer entry points over the shared property checks; the target is chosen at compile time (QUILLON_FUZZ_TARGET).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "FuzzOracles.h"
#include "ParserOracles.h"

namespace {

void Require(const std::string& problem)
{
    if (problem.empty())
        return;
    std::fprintf(stderr, "property violated: %s\n", problem.c_str());
    std::abort();
}

[[maybe_unused]] oracle::Extended ValueFromBytes(const std::uint8_t* data)
{
    oracle::ExtendedBits b;
    std::memcpy(&b.significand, data, 8);
    std::uint16_t top = 0;
    std::memcpy(&top, data + 8, 2);
    b.exponent = top & 0x7FFF;
    b.negative = (top & 0x8000) != 0;
    return oracle::FromBits(oracle::Canonical(b));
}

[[maybe_unused]] std::uint32_t Word(const std::uint8_t* data)
{
    std::uint32_t w = 0;
    std::memcpy(&w, data, 4);
    return w;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
#if QUILLON_FUZZ_TARGET == 1 // Position box reader and the label round trip
    if (size < 1)
        return 0;
    const char sep = (data[0] & 1) ? ',' : '.';
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    Require(oracle::CheckReader(text, sep));
    if (const auto v = window::ParseRegionNumber(text, sep))
        Require(oracle::CheckRoundTrip(*v, sep));
    if (size >= 11)
        Require(oracle::CheckRoundTrip(ValueFromBytes(data + 1), sep));
#elif QUILLON_FUZZ_TARGET == 2 // 6-byte narrowing
    if (size < 10)
        return 0;
    Require(oracle::CheckReal48(ValueFromBytes(data)));
#elif QUILLON_FUZZ_TARGET == 3 // gradient with any colours and bounds
    if (size < 16)
        return 0;
    colour::TPaletteTable start{};
    for (std::size_t k = 16; k < size && k - 16 < 256; ++k)
        start.Red[k - 16] = data[k] * 1000 + 7;
    Require(oracle::CheckGradient(Word(data), Word(data + 4), static_cast<int>(Word(data + 8)),
                                  static_cast<int>(Word(data + 12)), start));
#elif QUILLON_FUZZ_TARGET == 4 // browser command line and address
    const std::uint8_t* split = static_cast<const std::uint8_t*>(std::memchr(data, 0xFF, size));
    const std::size_t lineSize = split ? static_cast<std::size_t>(split - data) : size;
    const QString line = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(lineSize));
    const QString url = split ? QString::fromUtf8(reinterpret_cast<const char*>(split + 1),
                                                  static_cast<qsizetype>(size - lineSize - 1))
                              : QString();
    Require(oracle::CheckBrowserCommand(line, url));
#elif QUILLON_FUZZ_TARGET == 5 // scene name rule
    Require(oracle::CheckSceneName(std::string(reinterpret_cast<const char*>(data), size)));
#elif QUILLON_FUZZ_TARGET == 6 // view files
    Require(oracle::CheckViewText(std::string_view(reinterpret_cast<const char*>(data), size)));
#elif QUILLON_FUZZ_TARGET >= 7 && QUILLON_FUZZ_TARGET <= 9 // .map, .gpl and .ggr palette files
    Require(oracle::CheckPaletteText(static_cast<colour::PaletteFormat>(QUILLON_FUZZ_TARGET - 7),
                                     std::string_view(reinterpret_cast<const char*>(data), size)));
#elif QUILLON_FUZZ_TARGET == 10 // the view chunk of a PNG picture
    Require(oracle::CheckPngView(std::string_view(reinterpret_cast<const char*>(data), size)));
#else
#error "QUILLON_FUZZ_TARGET must be 1 to 10"
#endif
    return 0;
}
