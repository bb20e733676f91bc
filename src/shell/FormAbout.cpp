// The about box: fixed layout in client pixels, left half texts, right half the licence.
#include "shell/FormAbout.h"

#include "window/Centring.h"

#include "shell/HelpForms.h"
#include "shell/Site.h"

namespace shell {

QString AboutAuthorLine() { return QStringLiteral("Written by the Quillon developers"); }

QString AboutLicenceText()
{
    return QStringLiteral(
        "Quillon is free software: you can redistribute it and/or modify it under the terms of the GNU "
        "General Public License as published by the Free Software Foundation, either version 3 of the "
        "License, or (at your option) any later version.\n"
        "\n"
        "Quillon is distributed in the hope that it will be useful, but WITHOUT ANY WARRANTY; without even "
        "the implied warranty of MERCHANTABILITY or FITNESS FOR A PARTICULAR PURPOSE. See the GNU General "
        "Public License for more details.\n"
        "\n"
        "Licence: GNU General Public License, version 3 or later.");
}

namespace {

// An address may be longer than the left half: shown shortened in the
// middle, whole in the tool tip and selectable for copying.
QLabel* AddressLabel(QWidget* parent, const char* name, const QString& address, const QRect& geometry)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    label->setToolTip(address);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setText(label->fontMetrics().elidedText(address, Qt::ElideMiddle, geometry.width()));
    return label;
}

} // namespace

TFormAbout::TFormAbout() : QDialog(nullptr)
{
    setObjectName(QStringLiteral("FormAbout"));
    setWindowTitle(QStringLiteral("About"));
    window::CentreAtFirstShow(*this);
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    QFont f = font();
    f.setPixelSize(10);
    setFont(f);
    setFixedSize(429, 163);

    LabTitle = new QLabel(QStringLiteral("Quillon v2.9"), this);
    LabTitle->setObjectName(QStringLiteral("LabTitle"));
    QFont bold = f;
    bold.setPointSize(8);
    bold.setBold(true);
    LabTitle->setFont(bold);
    LabTitle->setGeometry(8, 8, 195, 18);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(8, 30, 195, 7);
    Panel1->setFrameShape(QFrame::Panel);
    Panel1->setFrameShadow(QFrame::Raised);
    Panel1->setAutoFillBackground(true);
    QPalette strip = Panel1->palette();
    strip.setColor(QPalette::Window, QColor(0x30, 0x50, 0x90));
    Panel1->setPalette(strip);

    LabWeb = AddressLabel(this, "LabWeb", ProjectHomePage(), QRect(8, 46, 195, 16));
    LabAuthor = new QLabel(AboutAuthorLine(), this);
    LabAuthor->setObjectName(QStringLiteral("LabAuthor"));
    LabAuthor->setGeometry(8, 68, 195, 16);
    LabAuthorWeb = AddressLabel(this, "LabAuthorWeb", AuthorsPage(), QRect(8, 88, 195, 16));

    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(68, 124, 75, 25);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &TFormAbout::Button1Click);

    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameShape(QFrame::Panel);
    Bevel1->setFrameShadow(QFrame::Sunken);
    Bevel1->setGeometry(204, 2, 219, 158);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setPlainText(AboutLicenceText());
    Memo1->setGeometry(209, 6, 208, 150);
}

void TFormAbout::Button1Click() { hide(); }

} // namespace shell
