// What the deep window tests share: the renderer's picture of a view, and a calculation run to its last row.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "export/ViewFile.h"
#include "render/Render.h"
#include "window/PositionParse.h"
#include "WindowTestSupport.h"

namespace guitest {

// The picture the command line's renderer draws for the window's view.
inline std::vector<std::uint8_t> RenderedBuffer(const exporter::ViewDocument& doc)
{
    const render::ViewJob job = render::MakeViewJob(doc);
    std::vector<std::uint8_t> out;
    render::ComputeValues(job.job, 0, engine::kBufferHeight,
                          [&](int, std::span<const std::uint8_t> row) { out.insert(out.end(), row.begin(), row.end()); });
    return out;
}

// A deep number as the Position box writes it: with the locale's separator.
inline QString PositionText(std::string text)
{
    if (const std::size_t point = text.find('.'); point != std::string::npos)
        text.replace(point, 1, window::SystemDecimalSeparator());
    return QString::fromStdString(text);
}

inline bool Settled(TFormBasicTamoSet& w)
{
    return WaitForCalculation(w) && w.LastComputedRow() == engine::kBufferHeight - 1;
}

} // namespace guitest
