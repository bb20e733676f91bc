// The help windows (Overview, Getting Started, View, Control and Position box, Keys and Mouse) and ShowAndRaise.
#pragma once

#include <QFrame>
#include <QPlainTextEdit>
#include <QString>
#include <QWidget>

namespace shell {

// "Show" as the Help menu means it: make the window visible and bring it to
// the front; a window already visible only comes to the front.
void ShowAndRaise(QWidget* window);

// One help window: a sizeable top-level window without parent, filled by
// Panel1, which is filled by the read-only text box Memo1. Created once and
// kept; closing hides it and never ends the application. It is centred on
// the screen the first time it is shown.
class THelpForm : public QWidget {
    Q_OBJECT
public:
    QFrame* Panel1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;

protected:
    // `height` is the window's design height; all help windows are 435 wide.
    THelpForm(const QString& objectName, const QString& caption, int height, const QString& text);
};

class TFormOver : public THelpForm { // "Overview"
    Q_OBJECT
public:
    TFormOver();
};

class TFormGet : public THelpForm { // "Getting Started"
    Q_OBJECT
public:
    TFormGet();
};

class TFormView : public THelpForm { // "The View Box"
    Q_OBJECT
public:
    TFormView();
};

class TFormControl : public THelpForm { // "The Control Box"
    Q_OBJECT
public:
    TFormControl();
};

class TFormPos : public THelpForm { // "The Position Box"
    Q_OBJECT
public:
    TFormPos();
};

// Every key and mouse action of a fractal window, one a line. Not one of
// the 32 windows of the roster: made beside them at start-up.
class TFormKeys : public THelpForm { // "Keys and Mouse"
    Q_OBJECT
public:
    TFormKeys();
};

} // namespace shell
