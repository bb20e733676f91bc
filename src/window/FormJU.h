// The twelve Julia-set windows.
#pragma once

#include "window/FormBasicTamoSet.h"

class TFormJU1 : public TFormBasicTamoSet {
    Q_OBJECT
public:
    explicit TFormJU1(QWidget* parent = nullptr);
};

class TFormJU2 : public TFormBasicTamoSet {
    Q_OBJECT
public:
    explicit TFormJU2(QWidget* parent = nullptr);
};

class TFormJU3 : public TFormBasicTamoSet {
    Q_OBJECT
public:
    explicit TFormJU3(QWidget* parent = nullptr);
};

class TFormJU4 : public TFormBasicTamoSet {
    Q_OBJECT
public:
    explicit TFormJU4(QWidget* parent = nullptr);
};

class TFormJU5 : public TFormBasicTamoSet {
    Q_OBJECT
public:
    explicit TFormJU5(QWidget* parent = nullptr);
};

class TFormJU6 : public TFormBasicTamoSet {
    Q_OBJECT
public:
    explicit TFormJU6(QWidget* parent = nullptr);
};

class TFormJU7 : public TFormBasicTamoSet {
    Q_OBJECT
public:
    explicit TFormJU7(QWidget* parent = nullptr);
};

class TFormJU8 : public TFormBasicTamoSet {
    Q_OBJECT
public:
    explicit TFormJU8(QWidget* parent = nullptr);
};

class TFormJU9 : public TFormBasicTamoSet {
    Q_OBJECT
public:
    explicit TFormJU9(QWidget* parent = nullptr);
};

class TFormJU10 : public TFormBasicTamoSet {
    Q_OBJECT
public:
    explicit TFormJU10(QWidget* parent = nullptr);
};

class TFormJU11 : public TFormBasicTamoSet {
    Q_OBJECT
public:
    explicit TFormJU11(QWidget* parent = nullptr);
};

class TFormJU12 : public TFormBasicTamoSet {
    Q_OBJECT
public:
    explicit TFormJU12(QWidget* parent = nullptr);
};
