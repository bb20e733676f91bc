// Parameters in the windows: Apply as one Back/Forward step, refusals that change nothing, views that carry
// them, and the Julia explorer of the Mandelbrot window opening the Julia Set window on a point.
#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

#include "ScriptedDialogs.h"
#include "WindowTestSupport.h"
#include "export/ViewFile.h"
#include "render/JuliaPreview.h"
#include "shell/Application.h"
#include "window/JuliaExplorer.h"
#include "window/JuliaPreviewPanel.h"
#include "window/ParametersBox.h"
#include "window/PictureView.h"
#include "window/ViewOpening.h"
#include "window/WindowParameters.h"

using namespace guitest;

namespace {

// The buffer the engine computes for the window's view with these parameters.
std::vector<std::uint8_t> ReferenceWith(const TFormBasicTamoSet& w, const fractals::Parameters& p)
{
    return ReferenceBuffer(w.ViewRegion, *fractals::MakePointSet(*w.Entry, p), w.ValueFunction);
}

class WindowParameters : public OutputTest {
protected:
    void SetUp() override
    {
        OutputTest::SetUp();
        CreateApplicationWindows();
    }
    void TearDown() override
    {
        DestroyApplicationWindows();
        OutputTest::TearDown();
    }
};

} // namespace

// Apply draws the view with the typed parameters as one new view: Back
// returns to the window's own, Forward to the applied ones, and the view
// file and the caption carry them.
TEST_F(WindowParameters, ApplyIsOneStepOfBackAndForward)
{
    TFormBasicTamoSet& w = *FormJU3;
    ASSERT_TRUE(OpenWindow(w));
    ASSERT_TRUE(WaitForCalculation(w));
    auto* command = w.findChild<QAction*>("MMParameters");
    ASSERT_NE(command, nullptr);
    EXPECT_EQ(w.MMOptions->actions().back(), command) << "after the existing items";
    EXPECT_TRUE(command->isEnabled());
    command->trigger();
    auto* box = w.findChild<window::ParametersBox*>();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->Field("Re")->text(), window::ParameterText(-0.12L));
    box->Field("Re")->setText(QStringLiteral("-0.745"));
    box->Field("Iterations")->setText(QStringLiteral("500"));
    const std::size_t before = w.History.Size();
    box->ApplyButton()->click();
    EXPECT_TRUE(w.IsCalculating());
    EXPECT_FALSE(command->isEnabled()) << "disabled while calculating";
    EXPECT_FALSE(box->ApplyButton()->isEnabled());
    ASSERT_TRUE(WaitForCalculation(w));
    fractals::Parameters applied = fractals::DefaultParameters(*w.Entry);
    applied.juliaRe = -0.745L;
    applied.iterations = 500;
    EXPECT_EQ(w.CurrentViewDocument().parameters, applied);
    EXPECT_EQ(w.IterBuffer.Snapshot(), ReferenceWith(w, applied));
    EXPECT_EQ(w.History.Size(), before + 1);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Julia Set 3, c = -0.745 + 0.74i, 500 iterations"));

    const QString file = dir.filePath("v.qview");
    Answer(file);
    w.MMSaveView->trigger();
    EXPECT_EQ(exporter::ReadViewFile(Bytes(file)).parameters, applied);

    w.GoToHistory(-1);
    ASSERT_TRUE(WaitForCalculation(w));
    EXPECT_EQ(w.CurrentViewDocument().parameters, fractals::DefaultParameters(*w.Entry));
    EXPECT_EQ(w.IterBuffer.Snapshot(), ReferenceBuffer("FormJU3"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Julia Set 3"));
    EXPECT_EQ(box->Field("Re")->text(), window::ParameterText(-0.12L)) << "the box follows the view";
    w.GoToHistory(1);
    ASSERT_TRUE(WaitForCalculation(w));
    EXPECT_EQ(w.CurrentViewDocument().parameters, applied);
    EXPECT_EQ(w.IterBuffer.Snapshot(), ReferenceWith(w, applied));
    EXPECT_TRUE(messages.empty());
}

// A refused value is one message, and the window and its history stay as they were.
TEST_F(WindowParameters, RefusedValuesChangeNothing)
{
    TFormBasicTamoSet& w = *FormTamo2;
    ASSERT_TRUE(OpenWindow(w));
    ASSERT_TRUE(WaitForCalculation(w));
    w.findChild<QAction*>("MMParameters")->trigger();
    auto* box = w.findChild<window::ParametersBox*>();
    const exporter::ViewDocument doc = w.CurrentViewDocument();
    const std::size_t views = w.History.Size();
    for (const auto& [field, text] : {std::pair{"Iterations", "0"}, std::pair{"Z", "x"}, std::pair{"X", "inf"}}) {
        box->Show(*fractals::FindView("FormTamo2"), doc.parameters);
        box->Field(field)->setText(QString::fromLatin1(text));
        messages.clear();
        box->ApplyButton()->click();
        EXPECT_EQ(messages.size(), 1u) << field;
        EXPECT_FALSE(w.IsCalculating()) << field;
        EXPECT_EQ(w.CurrentViewDocument(), doc) << field;
        EXPECT_EQ(w.History.Size(), views) << field;
    }
    // A random-set window has no parameter to change.
    EXPECT_FALSE(FormRN3->findChild<QAction*>("MMParameters")->isEnabled());
}

// A view file with parameters opens with them, in the Julia Set window too.
TEST_F(WindowParameters, ViewFilesBringTheirParameters)
{
    exporter::ViewDocument doc = exporter::DefaultView(fractals::JuliaExplorerView());
    doc.parameters.juliaRe = 0.285L;
    doc.parameters.juliaIm = 0.01L;
    doc.parameters.iterations = 300;
    const QString file = dir.filePath("j.qview");
    exporter::WriteViewFile(Bytes(file), doc);
    EXPECT_FALSE(FormJulia->isVisible()) << "hidden until used";
    window::OpenViewFilesSoon({file});
    ASSERT_TRUE(WaitUntil([&] { return FormJulia->isVisible() && FormJulia->CurrentViewDocument() == doc; }));
    ASSERT_TRUE(WaitForCalculation(*FormJulia));
    EXPECT_EQ(FormJulia->IterBuffer.Snapshot(), ReferenceWith(*FormJulia, doc.parameters));
    EXPECT_EQ(FormJulia->windowTitle(), QStringLiteral("Julia Set, c = 0.285 + 0.01i, 300 iterations"));
    EXPECT_TRUE(messages.empty());
}

// The Mandelbrot window's explorer: the preview follows the mouse, and J, a
// double-click with the preview shown and the context menu's item open the
// Julia Set window on the point under the mouse.
TEST_F(WindowParameters, JuliaExplorerOpensTheJuliaSetOfThePointUnderTheMouse)
{
    TFormBasicTamoSet& w = *Form1;
    ASSERT_TRUE(OpenWindow(w));
    ASSERT_TRUE(WaitForCalculation(w));
    auto* explorer = w.findChild<window::JuliaExplorer*>();
    ASSERT_NE(explorer, nullptr);
    EXPECT_TRUE(w.MMView->actions().contains(explorer->PreviewAction()));
    explorer->PreviewAction()->trigger();
    const QPoint at(w.PB->width() / 3, w.PB->height() / 2);
    QTest::mouseMove(w.PB, at);
    QMouseEvent move(QEvent::MouseMove, QPointF(at), w.PB->mapToGlobal(QPointF(at)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(w.PB, &move);
    const window::JuliaConstant c = explorer->PointAt(at.x(), at.y());
    window::JuliaPreviewPanel& panel = *explorer->Panel();
    ASSERT_TRUE(WaitUntil([&] { return panel.ShowsFull() && panel.ShownRe() == c.re && panel.ShownIm() == c.im; }));

    // The point is the cell's own: column and row of the 1024 x 768 picture.
    const int column = at.x() * engine::kBufferWidth / w.PB->width(), row = at.y() * engine::kBufferHeight / w.PB->height();
    EXPECT_EQ(c.re, engine::CellX(w.ViewRegion.Values(), column));
    EXPECT_EQ(c.im, engine::CellY(w.ViewRegion.Values(), row));

    QMouseEvent twice(QEvent::MouseButtonDblClick, QPointF(at), w.PB->mapToGlobal(QPointF(at)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w.PB, &twice);
    ASSERT_TRUE(FormJulia->isVisible());
    ASSERT_TRUE(WaitForCalculation(*FormJulia));
    fractals::Parameters p = fractals::DefaultParameters(fractals::JuliaExplorerWindow());
    p.juliaRe = c.re;
    p.juliaIm = c.im;
    EXPECT_EQ(FormJulia->CurrentViewDocument().parameters, p);
    EXPECT_EQ(FormJulia->ViewRegion.Values(), fractals::JuliaExplorerView().region.Make().Values());
    EXPECT_EQ(FormJulia->IterBuffer.Snapshot(), ReferenceWith(*FormJulia, p));
    // The preview is FormJulia's picture at 256 x 192 (in Form1's colours, which are FormJulia's).
    render::PreviewRequest r{c.re, c.im, render::Colours{FormJulia->Palette, FormJulia->CurrentAdjust()}, 200};
    const QImage& preview = panel.Picture();
    const render::PreviewPicture expected = render::RenderPreview(r, false);
    EXPECT_EQ(0, std::memcmp(preview.constBits(), expected.rgb.data(), expected.rgb.size()));

    // J at another point: a new view of the Julia Set window's history.
    const std::size_t views = FormJulia->History.Size();
    const QPoint other(w.PB->width() / 2, w.PB->height() / 4);
    QMouseEvent move2(QEvent::MouseMove, QPointF(other), w.PB->mapToGlobal(QPointF(other)), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w.PB, &move2);
    explorer->OpenAction()->trigger();
    ASSERT_TRUE(WaitForCalculation(*FormJulia));
    EXPECT_EQ(FormJulia->CurrentViewDocument().parameters.juliaRe, explorer->PointAt(other.x(), other.y()).re);
    EXPECT_EQ(FormJulia->History.Size(), views + 1);
    EXPECT_EQ(explorer->OpenAction()->shortcut(), QKeySequence(Qt::Key_J));
    EXPECT_TRUE(messages.empty());

    // The launcher's context menu reaches the window.
    FormJulia->hide();
    auto* item = FormMain->findChild<QAction*>("MMJuliaSet");
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(FormMain->actions().contains(item));
    item->trigger();
    EXPECT_TRUE(FormJulia->isVisible());
}
