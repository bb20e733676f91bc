// Help windows and the about box: texts, layout facts, show-and-raise and hide-on-close.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include <QApplication>
#include <QTest>

#include "shell/FormAbout.h"
#include "shell/HelpForms.h"
#include "shell/Site.h"

using namespace shell;

namespace {

struct HelpCase {
    std::function<THelpForm*()> make;
    const char* objectName;
    const char* caption;
    int height;
    QString title; // with its indentation
};

std::vector<HelpCase> HelpCases()
{
    return {
        {[] { return new TFormOver; }, "FormOver", "Overview", 208, QStringLiteral("\t\tOVERVIEW")},
        {[] { return new TFormGet; }, "FormGet", "Getting Started", 204, QStringLiteral("\t\tGetting Started")},
        {[] { return new TFormView; }, "FormView", "The View Box", 182,
         QString(17, QLatin1Char(' ')) + QStringLiteral("The View Box")},
        {[] { return new TFormControl; }, "FormControl", "The Control Box", 150,
         QStringLiteral("\tThe Control Box")},
        {[] { return new TFormPos; }, "FormPos", "The Position Box", 171, QStringLiteral(" \tThe Position Box")},
    };
}

int VisibleHelpWindows()
{
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        n += (qobject_cast<THelpForm*>(w) && w->isVisible()) ? 1 : 0;
    return n;
}

} // namespace

TEST(HelpForms, CaptionsSizesAndIndentedTitles)
{
    for (const HelpCase& c : HelpCases()) {
        SCOPED_TRACE(c.objectName);
        std::unique_ptr<THelpForm> form(c.make());
        EXPECT_EQ(form->objectName(), QString::fromLatin1(c.objectName));
        EXPECT_EQ(form->windowTitle(), QString::fromLatin1(c.caption));
        EXPECT_TRUE(form->isWindow());
        EXPECT_EQ(form->parentWidget(), nullptr);
        EXPECT_EQ(form->size(), QSize(435, c.height));
        EXPECT_LT(form->minimumWidth(), 435) << "help windows are sizeable";
        ASSERT_NE(form->Memo1, nullptr);
        EXPECT_EQ(form->Memo1->parentWidget(), form->Panel1);
        EXPECT_TRUE(form->Memo1->isReadOnly());

        const QStringList lines = form->Memo1->toPlainText().split(QLatin1Char('\n'));
        ASSERT_GE(lines.size(), 3);
        EXPECT_EQ(lines.first(), c.title);
        for (qsizetype i = 1; i < lines.size(); ++i) {
            EXPECT_TRUE(lines[i].startsWith(QLatin1Char('\t'))) << "paragraph " << i;
            EXPECT_GT(lines[i].trimmed().size(), 20) << "paragraph " << i;
        }
    }
}

TEST(HelpForms, OverviewAndPositionPointToTheHomePage)
{
    TFormOver over;
    TFormPos pos;
    TFormGet get;
    EXPECT_TRUE(over.Memo1->toPlainText().endsWith(ProjectHomePage()));
    EXPECT_TRUE(pos.Memo1->toPlainText().endsWith(ProjectHomePage()));
    EXPECT_FALSE(get.Memo1->toPlainText().contains(ProjectHomePage()));
}

TEST(HelpForms, ShowAgainOnlyRaisesAndCloseOnlyHides)
{
    TFormView view;
    ASSERT_EQ(VisibleHelpWindows(), 0);
    ShowAndRaise(&view);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    const QPoint placed = view.pos();
    view.Memo1->moveCursor(QTextCursor::End);
    const int cursorAt = view.Memo1->textCursor().position();

    ShowAndRaise(&view);
    EXPECT_EQ(VisibleHelpWindows(), 1);
    EXPECT_EQ(view.pos(), placed) << "a visible window must not be placed again";
    EXPECT_EQ(view.Memo1->textCursor().position(), cursorAt);

    EXPECT_TRUE(view.close());
    EXPECT_FALSE(view.isVisible());
    EXPECT_FALSE(view.testAttribute(Qt::WA_QuitOnClose)) << "closing a help window must not end the program";
    ShowAndRaise(&view);
    EXPECT_TRUE(view.isVisible());
    EXPECT_EQ(VisibleHelpWindows(), 1);
    view.hide();
}

TEST(AboutBox, TextsAndLayout)
{
    TFormAbout about;
    EXPECT_EQ(about.objectName(), QStringLiteral("FormAbout"));
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About"));
    EXPECT_EQ(about.minimumSize(), QSize(429, 163));
    EXPECT_EQ(about.maximumSize(), QSize(429, 163));

    EXPECT_EQ(about.LabTitle->text(), QStringLiteral("Quillon v2.9"));
    EXPECT_TRUE(about.LabTitle->font().bold());
    EXPECT_EQ(about.Panel1->size(), QSize(195, 7));
    EXPECT_EQ(about.LabWeb->toolTip(), ProjectHomePage());
    EXPECT_EQ(about.LabAuthor->text(), AboutAuthorLine());
    EXPECT_EQ(about.LabAuthorWeb->toolTip(), AuthorsPage());
    EXPECT_EQ(about.Button1->text(), QStringLiteral("OK"));

    EXPECT_EQ(about.Bevel1->width(), 219);
    EXPECT_EQ(about.Memo1->size(), QSize(208, 150));
    EXPECT_TRUE(about.Memo1->isReadOnly());
    EXPECT_TRUE(about.Memo1->toPlainText().contains(
        QStringLiteral("GNU General Public License, version 3 or later")));
    // The licence sits on the right half, inside the bevel.
    EXPECT_TRUE(about.Bevel1->geometry().contains(about.Memo1->geometry()));
    EXPECT_GE(about.Bevel1->x(), about.Panel1->geometry().right());
}

TEST(AboutBox, OkHidesAndShowAgainWorks)
{
    TFormAbout about;
    ShowAndRaise(&about);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
    QTest::mouseClick(about.Button1, Qt::LeftButton);
    EXPECT_FALSE(about.isVisible());
    ShowAndRaise(&about);
    EXPECT_TRUE(about.isVisible());
    QTest::keyClick(&about, Qt::Key_Escape);
    EXPECT_FALSE(about.isVisible());
}
