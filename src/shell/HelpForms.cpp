// The help windows: one read-only text each, shown modeless and hidden on close.
#include "shell/HelpForms.h"

#include <QVBoxLayout>

#include "shell/Site.h"
#include "window/Centring.h"

namespace shell {

void ShowAndRaise(QWidget* window)
{
    if (!window)
        return;
    if (window->isMinimized())
        window->showNormal();
    else
        window->show();
    window->raise();
    window->activateWindow();
}

THelpForm::THelpForm(const QString& objectName, const QString& caption, int height, const QString& text)
    : QWidget(nullptr)
{
    setObjectName(objectName);
    setWindowTitle(caption);
    window::CentreAtFirstShow(*this);
    // Only the launcher ends the application; a help window closed last must not.
    setAttribute(Qt::WA_QuitOnClose, false);
    QFont f = font();
    f.setPointSize(8);
    setFont(f);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Memo1 = new QPlainTextEdit(Panel1);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setPlainText(text);

    auto* panelLayout = new QVBoxLayout(Panel1);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->addWidget(Memo1);
    auto* formLayout = new QVBoxLayout(this);
    formLayout->setContentsMargins(0, 0, 0, 0);
    formLayout->addWidget(Panel1);

    resize(435, height);
}

namespace {

// Titles carry their own indentation (tabs or blanks); each paragraph is one
// line beginning with a tab, wrapped by the text box.
QString HelpText(const QString& title, const QStringList& paragraphs)
{
    QString text = title;
    for (const QString& p : paragraphs)
        text += QStringLiteral("\n\t") + p;
    return text;
}

} // namespace

TFormOver::TFormOver()
    : THelpForm(
          QStringLiteral("FormOver"), QStringLiteral("Overview"), 208,
          HelpText(QStringLiteral("\t\tOVERVIEW"),
                   {QStringLiteral("Fractals are images of endless detail and complexity that grow out of a short, "
                                   "finite definition: one formula applied to its own result again and again. "
                                   "Such shapes serve as models in many sciences, economics, health and weather "
                                   "among them, and they make striking textures and backgrounds."),
                    QStringLiteral("Quillon makes such images quickly and easily. It needs no special knowledge: "
                                   "open a window, look around, zoom in and change the colours. You can use it "
                                   "just for fun."),
                    QStringLiteral("More pictures and notes are on the Quillon home page (menu Web, Quillon Home "
                                   "Page): ") +
                        ProjectHomePage()}))
{
}

TFormGet::TFormGet()
    : THelpForm(QStringLiteral("FormGet"), QStringLiteral("Getting Started"), 204,
                HelpText(QStringLiteral("\t\tGetting Started"),
                         {QStringLiteral("When Quillon starts it shows the launcher, a narrow window of small "
                                         "fractal pictures. Each picture opens a window with one class of "
                                         "fractal images."),
                          QStringLiteral("A fractal window has four parts: the menu (File, Edit, Move, View, "
                                         "Options, Help), the Position box, the View box and the Control box."),
                          QStringLiteral("The View box shows the image. The Control box moves the view, zooms "
                                         "in and out and changes the colours.")}))
{
}

TFormView::TFormView()
    : THelpForm(QStringLiteral("FormView"), QStringLiteral("The View Box"), 182,
                HelpText(QString(17, QLatin1Char(' ')) + QStringLiteral("The View Box"),
                         {QStringLiteral("Besides showing the image, the View box lets you select a region with "
                                         "the mouse to zoom into."),
                          QStringLiteral("Click the left mouse button to start a selection; the rectangle then "
                                         "follows the mouse. Click the right button to abort it, or the left "
                                         "button a second time to complete it."),
                          QStringLiteral("Two buttons then appear on the image: press the one in the selected "
                                         "area to zoom in on it, or the \"X\" button to cancel.")}))
{
}

TFormControl::TFormControl()
    : THelpForm(QStringLiteral("FormControl"), QStringLiteral("The Control Box"), 150,
                HelpText(QStringLiteral("\tThe Control Box"),
                         {QStringLiteral("The Control box moves the view, zooms in and out and controls the "
                                         "colours: the palette pages, the palette rotation and the red, green "
                                         "and blue offsets."),
                          QStringLiteral("The RGB functions work only in a video mode of at least 64K colours."),
                          QStringLiteral("Its buttons are disabled while a fractal is being generated.")}))
{
}

TFormPos::TFormPos()
    : THelpForm(QStringLiteral("FormPos"), QStringLiteral("The Position Box"), 171,
                HelpText(QStringLiteral(" \tThe Position Box"),
                         {QStringLiteral("The Position box is for users who know exactly where to go."),
                          QStringLiteral("Press \"Edit\", type the x and y intervals into the \"X\" and \"Y\" "
                                         "fields, then press \"Submit\" to apply them; \"Cancel\" aborts."),
                          QStringLiteral("More about moving around a fractal is on the Quillon home page: ") +
                              ProjectHomePage()}))
{
}

// A list rather than paragraphs: each line a key or a mouse action, then what it does.
TFormKeys::TFormKeys()
    : THelpForm(QStringLiteral("FormKeys"), QStringLiteral("Keys and Mouse"), 420,
                QStringLiteral("\tKeys and Mouse\n"
                               "\n"
                               "On the picture (click it first for the keys):\n"
                               "Mouse wheel\tzoom in or out about the pointer, two times a notch\n"
                               "Pinch (touchpad)\tzoom in or out about the fingers\n"
                               "Middle button drag\tmove the picture\n"
                               "Ctrl + left drag\tmove the picture (touchpads)\n"
                               "Left click, left click\tdraw a rectangle to zoom into\n"
                               "Shift while drawing\tthe rectangle keeps the picture's shape\n"
                               "Right click, Esc\tcancel the rectangle\n"
                               "Arrow keys\tmove up, down, left, right by half the picture\n"
                               "+ and -\tzoom in and out about the centre\n"
                               "Home\treturn to the window's first view\n"
                               "\n"
                               "Anywhere in the window:\n"
                               "Alt + Left, Alt + Right\tBack and Forward through the views\n"
                               "Mouse back and forward buttons\tBack and Forward\n"
                               "\n"
                               "A wheel step or a drag during a calculation ends it and starts the new one; "
                               "each is one step of Back and Forward.\n"
                               "\n"
                               "Launcher: hold the pointer over a picture to see which window it opens; "
                               "Ctrl+O or the right button opens a view file."))
{
}

} // namespace shell
