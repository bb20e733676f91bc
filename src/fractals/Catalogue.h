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
// One of the 24, or the Julia explorer's window FormJulia.
const WindowEntry* FindWindow(const std::string& instance);

// The Julia explorer's window "Julia Set" (FormJulia): built like the twelve
// Julia windows, with no launcher button, and not one of the 24.
const WindowEntry& JuliaExplorerWindow();

// The parameters of a formula a window may be given. Each defaults to the
// catalogue's value (DefaultParameters); a field the view's value function
// does not read stays at its default.
struct Parameters {
    // The triple a calculation passes to SetValues (CountTamoSet views).
    Extended tamoX = engine::kCalcParam.X, tamoY = engine::kCalcParam.Y, tamoZ = engine::kCalcParam.Z;
    // JuliaConst (CountJuliaSet views).
    Extended juliaRe = 0.0L, juliaIm = 0.0L;
    // The limit of CountTamoSet, CountJuliaSet and LevelSetKernel,
    // kMinIterationLimit ... kMaxIterationLimit.
    std::int32_t iterations = engine::kDefaultIterationLimit;
    bool operator==(const Parameters&) const = default;
};
Parameters DefaultParameters(const WindowEntry& w);

// The parameters of frame `frame` of a movie of `frames` frames (2 or more)
// that goes from `start` to `end`: each value moves linearly with the frame,
// and the first and last frames have `start` and `end` exactly.
Parameters MorphParameters(const Parameters& start, const Parameters& end, int frame, int frames);

// Gives `set` the parameters (its Julia constant only when it is a Julia set).
void ApplyParameters(engine::TBasicSet& set, const Parameters& p);

// Which parameters a value function reads.
bool TakesTamoParameter(engine::TValueFunction f);
bool TakesJuliaConstant(engine::TValueFunction f);
bool TakesIterationLimit(engine::TValueFunction f);

// The point-set object a window creates, with its Julia constant; the
// second form with the given parameters in place of the catalogue's.
std::unique_ptr<engine::TBasicSet> MakePointSet(const WindowEntry& w);
std::unique_ptr<engine::TBasicSet> MakePointSet(const WindowEntry& w, const Parameters& p);

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
// The view of JuliaExplorerWindow, "FormJulia".
const View& JuliaExplorerView();
// One of the 60, or FormJulia.
const View* FindView(const std::string& id);

} // namespace fractals
