// The Parameters box and the Julia preview panel as widgets: fields per formula, exact values, refusals,
// the caption's text, and a panel that shows the newest constant only.
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "ScriptedDialogs.h"
#include "WindowTestSupport.h"
#include "export/ViewFile.h"
#include "fractals/Catalogue.h"
#include "window/ErrorReport.h"
#include "window/JuliaPreviewPanel.h"
#include "window/ParametersBox.h"

namespace {

struct ErrorCatcher {
    QStringList messages;
    ErrorCatcher()
    {
        testseam::Dialogs().error = [this](const QString& m) { messages << m; };
    }
    ~ErrorCatcher() { testseam::Dialogs().error = nullptr; }
};

} // namespace

TEST(ParametersBox, ShowsTheFieldsOfTheViewsFormula)
{
    const struct {
        const char* view;
        std::vector<const char*> shown;
    } cases[] = {
        {"FormTamo3", {"X", "Y", "Z", "Iterations"}},
        {"FormJU4", {"Re", "Im", "Iterations"}},
        {"FormJulia", {"Re", "Im", "Iterations"}},
        {"Form1", {"Iterations"}},
        {"FormRN2.SBAL3", {}},
    };
    for (const auto& c : cases) {
        const fractals::View& view = *fractals::FindView(c.view);
        window::ParametersBox box(view, [](const fractals::Parameters&) {});
        box.show();
        for (const char* name : {"X", "Y", "Z", "Re", "Im", "Iterations"}) {
            const bool expected = std::find_if(c.shown.begin(), c.shown.end(),
                                               [&](const char* s) { return std::string(s) == name; }) != c.shown.end();
            EXPECT_EQ(box.Field(name)->isVisible(), expected) << c.view << " " << name;
        }
    }
    window::ParametersBox box(*fractals::FindView("FormJU4"), [](const fractals::Parameters&) {});
    EXPECT_EQ(box.Field("Re")->text(), QStringLiteral("0"));
    EXPECT_EQ(box.Field("Im")->text(), QStringLiteral("1"));
    EXPECT_EQ(box.Field("Iterations")->text(), QStringLiteral("200"));
}

TEST(ParametersBox, ApplyGivesExactValuesAndRefusesBadText)
{
    ErrorCatcher errors;
    std::vector<fractals::Parameters> applied;
    const fractals::View& view = *fractals::FindView("FormTamo2");
    window::ParametersBox box(view, [&](const fractals::Parameters& p) { applied.push_back(p); });
    fractals::Parameters p = fractals::DefaultParameters(*view.window);
    p.tamoX = 1.0L / 3.0L; // 20 digits do not give it back
    box.Show(view, p);
    EXPECT_EQ(box.Field("X")->text(), window::ParameterText(1.0L / 3.0L));
    box.Field("Y")->setText(QStringLiteral("2.35"));
    box.Field("Iterations")->setText(QStringLiteral("1000"));
    box.ApplyButton()->click();
    ASSERT_EQ(applied.size(), 1u);
    EXPECT_EQ(applied[0].tamoX, 1.0L / 3.0L); // untouched: exact
    EXPECT_EQ(applied[0].tamoY, 2.35L);       // typed: the nearest extended value
    EXPECT_EQ(applied[0].tamoZ, engine::kCalcParam.Z);
    EXPECT_EQ(applied[0].iterations, 1000);
    EXPECT_TRUE(errors.messages.isEmpty());

    const struct {
        const char* field;
        const char* text;
        const char* message;
    } bad[] = {
        {"Iterations", "0", "The iteration limit must be a whole number from 1 to 10000000, not '0'."},
        {"Iterations", "10000001", "The iteration limit must be a whole number from 1 to 10000000, not '10000001'."},
        {"Iterations", "2.5", "The iteration limit must be a whole number from 1 to 10000000, not '2.5'."},
        {"Z", "nan", "Parameter Z must be a number, not 'nan'."},
        {"X", "", "Parameter X must be a number, not ''."},
        {"Y", "1e99999", "Parameter Y must be a number, not '1e99999'."},
    };
    for (const auto& b : bad) {
        box.Show(view, p);
        box.Field(b.field)->setText(QString::fromLatin1(b.text));
        errors.messages.clear();
        box.ApplyButton()->click();
        EXPECT_EQ(errors.messages, QStringList{QString::fromLatin1(b.message)}) << b.field << " " << b.text;
    }
    EXPECT_EQ(applied.size(), 1u) << "a refused value reached the window";

    box.DefaultsButton()->click();
    EXPECT_EQ(box.Field("X")->text(), window::ParameterText(engine::kCalcParam.X));
    EXPECT_EQ(box.Field("Iterations")->text(), QStringLiteral("200"));
    box.SetCalculating(true);
    EXPECT_FALSE(box.ApplyButton()->isEnabled());
    box.SetCalculating(false);
    EXPECT_TRUE(box.ApplyButton()->isEnabled());
}

TEST(ParametersBox, CaptionNamesParametersThatAreNotTheWindowsOwn)
{
    auto with = [](const char* id, void (*change)(fractals::Parameters&)) {
        const fractals::View& v = *fractals::FindView(id);
        fractals::Parameters p = fractals::DefaultParameters(*v.window);
        change(p);
        return window::ParametersCaption(v, p);
    };
    const auto none = [](fractals::Parameters&) {};
    EXPECT_EQ(with("FormJU3", none), QString());
    EXPECT_EQ(with("FormTamo1", none), QString());
    EXPECT_EQ(with("FormJulia", none), QStringLiteral(", c = -0.8 + 0.156i"));
    EXPECT_EQ(with("FormJU3", [](fractals::Parameters& p) { p.juliaIm = -0.5L; }), QStringLiteral(", c = -0.12 - 0.5i"));
    EXPECT_EQ(with("Form1", [](fractals::Parameters& p) { p.iterations = 500; }), QStringLiteral(", 500 iterations"));
    EXPECT_EQ(with("FormTamo1", [](fractals::Parameters& p) { p.tamoZ = 3.0L; }),
              QStringLiteral(", parameters 2, 2.1, 3"));
}

// Constants given faster than pictures come: the panel shows only the newest
// request's pictures, and its full picture is the preview of that constant.
TEST(JuliaPreviewPanel, ShowsTheNewestConstantOnly)
{
    window::JuliaPreviewPanel panel;
    panel.show();
    int stale = 0, shown = 0;
    QObject::connect(&panel, &window::JuliaPreviewPanel::PictureShown, [&] {
        ++shown;
        stale += panel.ShownRequest() != panel.NewestRequest();
    });
    const exporter::ViewDocument form1 = exporter::DefaultView(*fractals::FindView("Form1"));
    render::Colours colours{form1.Palette(), form1.adjust};
    for (int k = 0; k < 20; ++k) {
        panel.Follow(-0.75L + 0.002L * k, 0.1L, colours);
        QCoreApplication::processEvents();
    }
    ASSERT_TRUE(guitest::WaitUntil([&] { return panel.ShowsFull() && panel.ShownRequest() == panel.NewestRequest(); }));
    EXPECT_EQ(stale, 0);
    EXPECT_GE(shown, 1);
    EXPECT_EQ(panel.ShownRe(), -0.75L + 0.002L * 19);
    render::PreviewRequest r;
    r.cx = -0.75L + 0.002L * 19;
    r.cy = 0.1L;
    r.colours = colours;
    const render::PreviewPicture expected = render::RenderPreview(r, false);
    const QImage& picture = panel.Picture();
    ASSERT_EQ(picture.format(), QImage::Format_RGB888);
    int wrong = 0;
    for (int row = 0; row < render::kPreviewHeight; ++row)
        wrong += std::memcmp(picture.constScanLine(row), expected.rgb.data() + row * render::kPreviewWidth * 3,
                             render::kPreviewWidth * 3) != 0;
    EXPECT_EQ(wrong, 0);
    panel.Stop();
    panel.Follow(0.285L, 0.01L, colours);
}
