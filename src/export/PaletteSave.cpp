// Saving a palette file: the colour library makes the text, this writes it atomically.
#include "colour/PaletteFile.h"
#include "export/Scenes.h"

namespace exporter {

void SavePaletteFile(const std::string& path, const colour::TPaletteTable& palette, std::string_view name)
{
    detail::ReplaceFile(path, colour::PaletteFileText(path, palette, name));
}

} // namespace exporter
