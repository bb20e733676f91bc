// The five Tamo point-set windows.
#pragma once

#include "window/FormBasicTamoSet.h"

class TFormTamo1 : public TFormBasicTamoSet {
    Q_OBJECT
public:
    explicit TFormTamo1(QWidget* parent = nullptr);
};

class TFormTamo2 : public TFormBasicTamoSet {
    Q_OBJECT
public:
    explicit TFormTamo2(QWidget* parent = nullptr);
};

class TFormTamo3 : public TFormBasicTamoSet {
    Q_OBJECT
public:
    explicit TFormTamo3(QWidget* parent = nullptr);
};

class TFormTamo4 : public TFormBasicTamoSet {
    Q_OBJECT
public:
    explicit TFormTamo4(QWidget* parent = nullptr);
};

class TFormTamo5 : public TFormBasicTamoSet {
    Q_OBJECT
public:
    explicit TFormTamo5(QWidget* parent = nullptr);
};
