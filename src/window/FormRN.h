// The six random-set windows with their Types box.
#pragma once

#include "window/FormExtendedBasic.h"

class TFormRN1 : public TFormExtendedBasic {
    Q_OBJECT
public:
    explicit TFormRN1(QWidget* parent = nullptr);
};

class TFormRN2 : public TFormExtendedBasic {
    Q_OBJECT
public:
    explicit TFormRN2(QWidget* parent = nullptr);
};

class TFormRN3 : public TFormExtendedBasic {
    Q_OBJECT
public:
    explicit TFormRN3(QWidget* parent = nullptr);
};

class TFormRN4 : public TFormExtendedBasic {
    Q_OBJECT
public:
    explicit TFormRN4(QWidget* parent = nullptr);
};

class TFormRN5 : public TFormExtendedBasic {
    Q_OBJECT
public:
    explicit TFormRN5(QWidget* parent = nullptr);
};

class TFormRN6 : public TFormExtendedBasic {
    Q_OBJECT
public:
    explicit TFormRN6(QWidget* parent = nullptr);
};
