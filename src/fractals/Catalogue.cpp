// Catalogue data. Every decimal is written as a long double literal, so each
// constant is the extended value nearest to the decimal shown.
#include "fractals/Catalogue.h"

#include <cmath>

#include "engine/Kernels.h"

namespace fractals {

using namespace engine;

void RegionSetup::ApplyTo(Region& region) const
{
    if (setter == RegionSetter::BySize)
        region.SetRegionBySize(a, b, c, d);
    else
        region.SetRegionByCorners(a, b, c, d);
}

Region RegionSetup::Make() const
{
    Region r;
    ApplyTo(r);
    return r;
}

namespace {

constexpr RegionSetup kPointSetRegion{RegionSetter::BySize, -1.25L, 2.5L, -1.12L, 2.22L};

constexpr RegionSetup Corners(Extended x1, Extended x2, Extended y1, Extended y2)
{
    return RegionSetup{RegionSetter::ByCorners, x1, x2, y1, y2};
}

constexpr RegionSetup Square(Extended lo, Extended hi) { return Corners(lo, hi, lo, hi); }

#define KERNEL(name) #name, &name

WindowEntry Tamo(const char* inst, const char* cls, const char* caption, const char* button, SetKind kind,
                int offset, int width)
{
    return WindowEntry{inst, cls, caption, button, kind, KERNEL(CountTamoSet), false, 0.0L, 0.0L,
                      kPointSetRegion, offset, width, 471, false, {}};
}

WindowEntry Julia(int k, Extended re, Extended im, int offset)
{
    static const char* inst[] = {"FormJU1", "FormJU2", "FormJU3", "FormJU4", "FormJU5", "FormJU6",
                                 "FormJU7", "FormJU8", "FormJU9", "FormJU10", "FormJU11", "FormJU12"};
    static const char* cls[] = {"TFormJU1", "TFormJU2", "TFormJU3", "TFormJU4", "TFormJU5", "TFormJU6",
                                "TFormJU7", "TFormJU8", "TFormJU9", "TFormJU10", "TFormJU11", "TFormJU12"};
    static const char* cap[] = {"Julia Set 1", "Julia Set 2", "Julia Set 3", "Julia Set 4",
                                "Julia Set 5", "Julia Set 6", "Julia Set 7", "Julia Set 8",
                                "Julia Set 9", "Julia Set 10", "Julia Set 11", "Julia Set 12"};
    static const char* btn[] = {"SBJU1", "SBJU2", "SBJU3", "SBJU4", "SBJU5", "SBJU6",
                                "SBJU7", "SBJU8", "SBJU9", "SBJU10", "SBJU11", "SBJU12"};
    return WindowEntry{inst[k - 1], cls[k - 1], cap[k - 1], btn[k - 1], SetKind::Julia, KERNEL(CountJuliaSet),
                      true, re, im, kPointSetRegion, offset, 748, 471, false, {}};
}

WindowEntry Random(const char* inst, const char* cls, const char* caption, const char* button,
                  const char* openName, TValueFunction open, RegionSetup openRegion, std::array<TypeButton, 6> types)
{
    return WindowEntry{inst, cls, caption, button, SetKind::Tamo1, openName, open, false, 0.0L, 0.0L,
                      openRegion, 49, 743, 471, true, types};
}

TypeButton T(const char* button, const char* name, TValueFunction fn, RegionSetup region)
{
    return TypeButton{button, name, fn, region};
}

std::vector<WindowEntry> BuildWindows()
{
    std::vector<WindowEntry> w;
    w.push_back(WindowEntry{"Form1", "TForm1", "Mandelbrot set via Level Set Method", "SBMandel", SetKind::Tamo1,
                           KERNEL(LevelSetKernel), false, 0.0L, 0.0L,
                           Corners(-0.7672010892L, -0.7619674784L, -0.1003981051L, -0.090500188L), 49, 745, 430,
                           false, {}});
    w.push_back(Tamo("FormTamo5", "TFormTamo5", "Tamo5 Set", "SBTamo5", SetKind::Tamo5, 98, 748));
    w.push_back(Tamo("FormTamo1", "TFormTamo1", "Tamo1 Set", "SBTamo1", SetKind::Tamo1, 49, 748));
    w.push_back(Tamo("FormTamo3", "TFormTamo3", "Tamo3 Set", "SBTamo3", SetKind::Tamo3, 49, 748));
    w.push_back(Tamo("FormTamo4", "TFormTamo4", "Tamo4 Set", "SBTamo4", SetKind::Tamo4, 112, 745));
    w.push_back(Tamo("FormTamo2", "TFormTamo2", "Tamo2 Set using 3D", "SBTamo2", SetKind::Tamo2, 98, 748));
    w.push_back(Julia(1, 0.31L, 0.04L, 40));
    w.push_back(Julia(2, -0.11L, 0.6557L, 56));
    w.push_back(Julia(3, -0.12L, 0.74L, 35));
    w.push_back(Julia(4, 0.0L, 1.0L, 40));
    w.push_back(Julia(5, -0.19L, 0.6557L, 54));
    w.push_back(Julia(6, -0.7453L, 0.11301L, 20));
    w.push_back(Julia(7, -1.25L, 0.0L, 60));
    w.push_back(Julia(8, -0.481762L, -0.531657L, 49));
    w.push_back(Julia(9, -0.39054L, -0.58679L, 75));
    w.push_back(Julia(10, -0.15652L, -1.03225L, 60));
    w.push_back(Julia(11, 0.11031L, -0.67037L, 49));
    w.push_back(Julia(12, 0.27334L, 0.0742L, 40));

    w.push_back(Random("FormRN1", "TFormRN1", "Tamo Random Sets 1", "SBAL1", KERNEL(RN1Kernel1), Square(-16000, 16000),
                       {T("SBAL1", KERNEL(RN1Kernel1), Square(-16000, 16000)),
                        T("SBAL2", KERNEL(RN1Kernel2), Square(0, 32000)),
                        T("SBAL3", KERNEL(RN1Kernel3), Square(-16000, 16000)),
                        T("SBAL4", KERNEL(RN1Kernel4), Square(0, 32000)),
                        T("SBAL5", KERNEL(RN1Kernel5), Square(-24000, 24000)),
                        T("SBAL6", KERNEL(RN1Kernel6), Square(-24000, 24000))}));
    w.push_back(Random("FormRN2", "TFormRN2", "Tamo Random Sets 2", "SBAL2", KERNEL(RN2Kernel1), Square(-16000, 16000),
                       {T("SBAL1", KERNEL(RN2Kernel1), Square(-16000, 16000)),
                        T("SBAL2", KERNEL(RN2Kernel2), Square(-16000, 16000)),
                        T("SBAL3", KERNEL(RN2Kernel3), Square(-16000, 16000)),
                        T("SBAL4", KERNEL(RN2Kernel4), Square(-3000, 3000)),
                        T("SBAL5", KERNEL(RN2Kernel5), Square(-162, 162)),
                        T("SBAL6", KERNEL(RN2Kernel6), Square(-162, 162))}));
    w.push_back(Random("FormRN3", "TFormRN3", "Tamo Random Sets 3", "SBAL3", KERNEL(RN3Kernel1), Square(-162, 162),
                       {T("SBAL1", KERNEL(RN3Kernel1), Square(-162, 162)),
                        T("SBAL2", KERNEL(RN3Kernel2), Square(-162, 162)),
                        T("SBAL3", KERNEL(RN3Kernel3), Square(-162, 162)),
                        T("SBAL4", KERNEL(RN3Kernel4), Square(-162, 162)),
                        T("SBAL5", KERNEL(RN3Kernel5), Square(-162, 162)),
                        T("SBAL6", KERNEL(RN3Kernel6), Square(-162, 162))}));
    w.push_back(Random("FormRN4", "TFormRN4", "Tamo Random Sets 4", "SBAL4", KERNEL(RN4Kernel1), Square(-23, 23),
                       {T("SBAL1", KERNEL(RN4Kernel1), Corners(-11.97L, -6.0L, -31.8L, -26.66L)),
                        T("SBAL2", KERNEL(RN4Kernel2), Square(-23, 23)),
                        T("SBAL3", KERNEL(RN4Kernel3), Square(-5, 5)),
                        T("SBAL4", KERNEL(RN4Kernel4), Square(-4, 4)),
                        T("SBAL5", KERNEL(RN4Kernel5), Corners(-16.0L, -10.0L, -5.0L, 0.0L)),
                        T("SBAL6", KERNEL(RN4Kernel5), Corners(-2.165919L, 6.085201L, -8.827027L, -4.6L))}));
    w.push_back(Random("FormRN5", "TFormRN5", "Tamo Random Sets 5", "SBAL5", KERNEL(RN5Kernel1), Square(-3, 3),
                       {T("SBAL1", KERNEL(RN5Kernel1), Square(-3, 3)),
                        T("SBAL2", KERNEL(RN5Kernel2), Corners(-6.32L, 1.61L, 5.67L, 13.29L)),
                        T("SBAL3", KERNEL(RN5Kernel3), Corners(-0.088557L, 0.06956L, -0.08307L, 0.064832L)),
                        T("SBAL4", KERNEL(RN5Kernel4), Corners(-0.6L, 0.6L, -0.9L, 0.6L)),
                        T("SBAL5", KERNEL(RN5Kernel5), Corners(-1.2L, 0.35L, -1.4L, 0.24L)),
                        T("SBAL6", KERNEL(RN5Kernel6), Corners(-1.2L, 0.2L, -0.7L, 0.4L))}));
    const RegionSetup rn6Open = Corners(-1.111307231L, -1.103141178L, -0.320758L, -0.30268L);
    w.push_back(Random("FormRN6", "TFormRN6", "Sets 6", "SBAL6", KERNEL(RN6Kernel1), rn6Open,
                       {T("SBAL1", KERNEL(RN6Kernel1), rn6Open),
                        T("SBAL2", KERNEL(RN6Kernel1), Corners(-1.12799L, -1.10084L, -0.3485L, -0.2988L)),
                        T("SBAL3", KERNEL(RN6Kernel1),
                          Corners(-1.401757526L, -1.382271914L, -0.173907962L, -0.1518188459L)),
                        T("SBAL4", KERNEL(RN6Kernel4), Corners(-1.801544L, -1.64891L, -0.16373L, -0.07222L)),
                        T("SBAL5", KERNEL(RN6Kernel4),
                          Corners(-1.785718145L, -1.782973531L, -0.1310790439L, -0.1288891718L)),
                        T("SBAL6", KERNEL(RN6Kernel6), Square(-3, 3))}));
    return w;
}

std::vector<View> BuildViews()
{
    std::vector<View> views;
    for (const WindowEntry& w : Windows())
        views.push_back(View{w.instance, &w, w.valueFunctionName, w.valueFunction, w.region});
    for (const WindowEntry& w : Windows()) {
        if (!w.hasTypes)
            continue;
        for (const TypeButton& t : w.types)
            views.push_back(View{std::string(w.instance) + "." + t.button, &w, t.kernelName, t.kernel, t.region});
    }
    return views;
}

} // namespace

const std::vector<WindowEntry>& Windows()
{
    static const std::vector<WindowEntry> windows = BuildWindows();
    return windows;
}

const WindowEntry* FindWindow(const std::string& instance)
{
    for (const WindowEntry& w : Windows())
        if (instance == w.instance)
            return &w;
    if (instance == JuliaExplorerWindow().instance)
        return &JuliaExplorerWindow();
    return nullptr;
}

const WindowEntry& JuliaExplorerWindow()
{
    // c = -0.8 + 0.156i: a Julia set that is just connected, its filaments
    // spiralling through the whole start region.
    static const WindowEntry window{"FormJulia", "TFormJulia", "Julia Set", "", SetKind::Julia,
                                    KERNEL(CountJuliaSet), true, -0.8L, 0.156L, kPointSetRegion, 49, 748, 471,
                                    false, {}};
    return window;
}

Parameters DefaultParameters(const WindowEntry& w)
{
    Parameters p;
    if (w.hasJuliaConst) {
        p.juliaRe = w.juliaRe;
        p.juliaIm = w.juliaIm;
    }
    return p;
}

bool TakesTamoParameter(TValueFunction f) { return f == CountTamoSet; }
bool TakesJuliaConstant(TValueFunction f) { return f == CountJuliaSet; }
bool TakesIterationLimit(TValueFunction f) { return f == CountTamoSet || f == CountJuliaSet || f == LevelSetKernel; }

Parameters MorphParameters(const Parameters& start, const Parameters& end, int frame, int frames)
{
    if (frame <= 0 || frames < 2)
        return start;
    if (frame >= frames - 1)
        return end;
    const Extended t = static_cast<Extended>(frame) / static_cast<Extended>(frames - 1);
    auto at = [t](Extended a, Extended b) { return a == b ? a : a + (b - a) * t; };
    Parameters p;
    p.tamoX = at(start.tamoX, end.tamoX);
    p.tamoY = at(start.tamoY, end.tamoY);
    p.tamoZ = at(start.tamoZ, end.tamoZ);
    p.juliaRe = at(start.juliaRe, end.juliaRe);
    p.juliaIm = at(start.juliaIm, end.juliaIm);
    // Between two limits of 1 ... 10,000,000, so the rounded value is one too.
    p.iterations = static_cast<std::int32_t>(
        std::llround(at(static_cast<Extended>(start.iterations), static_cast<Extended>(end.iterations))));
    return p;
}

void ApplyParameters(TBasicSet& set, const Parameters& p)
{
    set.CalcParam = MakeTriple(p.tamoX, p.tamoY, p.tamoZ);
    set.IterationLimit = p.iterations;
    if (auto* julia = dynamic_cast<TJUSet*>(&set))
        julia->JuliaConst = MakeTriple(p.juliaRe, p.juliaIm, 0.0L);
}

std::unique_ptr<TBasicSet> MakePointSet(const WindowEntry& w, const Parameters& p)
{
    std::unique_ptr<TBasicSet> set = MakePointSet(w);
    ApplyParameters(*set, p);
    return set;
}

std::unique_ptr<TBasicSet> MakePointSet(const WindowEntry& w)
{
    switch (w.setKind) {
    case SetKind::Tamo1: return std::make_unique<TTamo1Set>();
    case SetKind::Tamo2: return std::make_unique<TTamo2Set>();
    case SetKind::Tamo3: return std::make_unique<TTamo3Set>();
    case SetKind::Tamo4: return std::make_unique<TTamo4Set>();
    case SetKind::Tamo5: return std::make_unique<TTamo5Set>();
    case SetKind::Julia: {
        auto s = std::make_unique<TJUSet>();
        s->JuliaConst = MakeTriple(w.juliaRe, w.juliaIm, 0.0L);
        return s;
    }
    }
    return nullptr;
}

const std::vector<View>& Views()
{
    static const std::vector<View> views = BuildViews();
    return views;
}

const View& JuliaExplorerView()
{
    static const View view{JuliaExplorerWindow().instance, &JuliaExplorerWindow(),
                           JuliaExplorerWindow().valueFunctionName, JuliaExplorerWindow().valueFunction,
                           JuliaExplorerWindow().region};
    return view;
}

const View* FindView(const std::string& id)
{
    for (const View& v : Views())
        if (v.id == id)
            return &v;
    if (id == JuliaExplorerView().id)
        return &JuliaExplorerView();
    return nullptr;
}

#undef KERNEL

} // namespace fractals
