// The three datum windows with seven parameters Tx, Ty, Tz, Rx, Ry, Rz, D:
// "椭球变换--布尔沙模型" (object name FormEllConBuerSha, geocentric
// similarity), "椭球变换--三维七参数模型" (FormEllCon3d7p, differential
// formulas of B, L, H) and "椭球变换--二维七参数模型" (FormEllCon2d7p,
// differential formulas of B and L, heights shifted by the eighth parameter
// dH). The parameter edits, in parameter-file order: EditTx, EditTy,
// EditTz, EditRx, EditRy, EditRz, EditD, and EditDH in the 2D window.
#pragma once

#include <QLineEdit>
#include <string>

#include "tools/datum/bursa_wolf.h"
#include "tools/datum/seven_parameter_models.h"
#include "ui/windows/datum_window.h"

namespace coordconv {

class SevenParameterWindow : public DatumWindow {
    Q_OBJECT
public:
    SevenParameterWindow(QWidget* owner, UserDialogs& dialogs, const SevenParameterModel& model,
                         const char* object_name);

    // The texts of the seven parameters.
    SevenParameterFields Parameters() const;
    // The height change dH ("dH=", metres) of the two-dimensional window; null in the others.
    QLineEdit* HeightChange() const { return height_change_; }

    // "转换计算": the source points through the model into the converted points.
    void ConvertPoints();

private:
    const SevenParameterModel& model_;
    QLineEdit* height_change_ = nullptr;
};

class BursaWolfWindow : public SevenParameterWindow {
    Q_OBJECT
public:
    BursaWolfWindow(QWidget* owner, UserDialogs& dialogs)
        : SevenParameterWindow(owner, dialogs, kBursaWolfModel, "FormEllConBuerSha") {}
};

class Seven3dWindow : public SevenParameterWindow {
    Q_OBJECT
public:
    Seven3dWindow(QWidget* owner, UserDialogs& dialogs)
        : SevenParameterWindow(owner, dialogs, kSeven3dModel, "FormEllCon3d7p") {}
};

class Seven2dWindow : public SevenParameterWindow {
    Q_OBJECT
public:
    Seven2dWindow(QWidget* owner, UserDialogs& dialogs)
        : SevenParameterWindow(owner, dialogs, kSeven2dModel, "FormEllCon2d7p") {}
};

}  // namespace coordconv
