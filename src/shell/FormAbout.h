// TFormAbout: the about box with the version, addresses, author and licence.
#pragma once

#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace shell {

// A fixed-size dialog-like window, shown modeless with ShowAndRaise; "OK",
// Esc and the close box hide it. Created once and kept.
class TFormAbout : public QDialog {
    Q_OBJECT
public:
    TFormAbout();

    QLabel* LabTitle = nullptr;       // "Quillon v2.9"
    QFrame* Panel1 = nullptr;         // the thin decorative strip
    QLabel* LabWeb = nullptr;         // the product's web address
    QLabel* LabAuthor = nullptr;      // the author line
    QLabel* LabAuthorWeb = nullptr;   // the author's web address
    QPushButton* Button1 = nullptr;   // "OK"
    QFrame* Bevel1 = nullptr;         // lowered frame around the licence
    QPlainTextEdit* Memo1 = nullptr;  // the licence statement

    void Button1Click();

};

// The texts of the box, also read by its tests.
QString AboutAuthorLine();
QString AboutLicenceText();

} // namespace shell
