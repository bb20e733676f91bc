// A reference orbit asked to stop while it is computed, and the test of whether an orbit is the one a view needs.
#include <gtest/gtest.h>

#include <string>

#include "DeepLocations.h"
#include "deep/Reference.h"

namespace {

TEST(DeepReferenceStop, AStopEndsTheOrbitWithinAFewHundredSteps)
{
    // A point inside the set runs to the limit: a long orbit at 1000+ bits.
    const deep::Mapping mapping({"-0.1", "0.1", "1e-300", ""}, 40, 30);
    const deep::FormulaParams params{deep::Formula::LevelSet, 0.0L, 0.0L, 1000000};
    int asked = 0;
    EXPECT_THROW(deep::Reference(mapping, params, 0.0L, [&] { return ++asked == 3; }), deep::Stopped);
    EXPECT_EQ(asked, 3) << "asked again after it said stop";

    // Never told to stop, the orbit is the one made without the question.
    const deep::FormulaParams shortRun{deep::Formula::LevelSet, 0.0L, 0.0L, 700};
    const deep::Reference plain(mapping, shortRun);
    const deep::Reference asking(mapping, shortRun, 0.0L, [] { return false; });
    ASSERT_EQ(asking.Main().z.size(), plain.Main().z.size());
    for (std::size_t n = 0; n < plain.Main().z.size(); ++n)
        ASSERT_TRUE(asking.Main().z[n].x == plain.Main().z[n].x && asking.Main().z[n].y == plain.Main().z[n].y) << n;
}

TEST(DeepReferenceStop, SameAsNewOnlyForTheVeryOrbitTheViewWouldMake)
{
    const std::string cx = deeptest::AtDepth(deeptest::kRabbitBoundary, 40);
    const deep::FormulaParams julia{deep::Formula::Julia, -0.12L, 0.74L, 500};
    const deep::Mapping mapping({cx, "1e-41", "1e-40", ""}, 40, 24);
    const deep::Reference reference(mapping, julia);
    EXPECT_TRUE(reference.SameAsNew(deep::Mapping({cx, "1e-41", "1e-40", ""}, 40, 24), julia));
    EXPECT_TRUE(reference.Serves(deep::Mapping({cx, "1e-41", "5e-41", ""}, 40, 24), julia)) << "serves a zoom";

    struct Case {
        const char* what;
        deep::Mapping mapping;
        deep::FormulaParams params;
    };
    deep::FormulaParams otherLimit = julia, otherConstant = julia;
    otherLimit.limit = 501;
    otherConstant.juliaY = 0.75L;
    const Case cases[] = {
        {"zoomed in", deep::Mapping({cx, "1e-41", "5e-41", ""}, 40, 24), julia},
        {"moved", deep::Mapping({cx, "2e-41", "1e-40", ""}, 40, 24), julia},
        {"another size", deep::Mapping({cx, "1e-41", "1e-40", ""}, 41, 24), julia},
        {"another limit", deep::Mapping({cx, "1e-41", "1e-40", ""}, 40, 24), otherLimit},
        {"another constant", deep::Mapping({cx, "1e-41", "1e-40", ""}, 40, 24), otherConstant},
        {"another formula", deep::Mapping({cx, "1e-41", "1e-40", ""}, 40, 24), deep::FormulaParams{}},
    };
    for (const Case& c : cases)
        EXPECT_FALSE(reference.SameAsNew(c.mapping, c.params)) << c.what;
}

} // namespace
