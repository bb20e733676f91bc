// The 24 fractal windows and 36 type buttons as data: formula, constants, region, colours.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "engine/PointSets.h"
#include "engine/Region.h"

namespace fractals {

using engine::Extended;

enum class SetKind { Tamo1, Tamo2, Tamo3, Tamo4, Tamo5, Julia };
enum class RegionSetter { BySize, ByCorners };

struct RegionSetup {
    RegionSetter setter = RegionSetter::BySize;
    // BySize: x start, x width, y start, y height. ByCorners: x1, x2, y1, y2.
    Extended a = 0.0L, b = 0.0L, c = 0.0L, d = 0.0L;

    void ApplyTo(engine::Region& region) const;
    engine::Region Make() const;
};

struct TypeButton {
    const char* button = "";     // "SBAL1" ... "SBAL6"
    const char* kernelName = ""; // "RN4Kernel5"
    engine::TValueFunction kernel = nullptr;
    RegionSetup region;
};

struct WindowEntry {
    const char* instance;       // "FormJU3"
    const char* className;      // "TFormJU3"
    const char* caption;        // "Julia Set 3"
    const char* launcherButton; // "SBJU3"
    SetKind setKind;
    const char* valueFunctionName;
    engine::TValueFunction valueFunction;
    bool hasJuliaConst;
    Extended juliaRe, juliaIm;
    RegionSetup region;
    int colourOffset;
    int width, height; // design-time outer size
    bool hasTypes;
    std::array<TypeButton, 6> types;
};

// The 24 fractal windows in the order the application creates them.
const std::vector<WindowEntry>& Windows();
const WindowEntry* FindWindow(const std::string& instance);

// The point-set object a window creates, with its Julia constant.
std::unique_ptr<engine::TBasicSet> MakePointSet(const WindowEntry& w);

// One picture the catalogue can show: a window's opening view or one of its
// type buttons ("FormRN4.SBAL1").
struct View {
    std::string id;
    const WindowEntry* window;
    const char* functionName;
    engine::TValueFunction function;
    RegionSetup region;
};

// The 24 opening views followed by the 36 type-button views.
const std::vector<View>& Views();
const View* FindView(const std::string& id);

} // namespace fractals
