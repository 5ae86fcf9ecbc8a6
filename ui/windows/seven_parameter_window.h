// The three datum windows with seven parameters Tx, Ty, Tz, Rx, Ry, Rz, D:
// "椭球变换--布尔沙模型" (`TFormEllConBuerSha`, geocentric similarity),
// "椭球变换--三维七参数模型" (`TFormEllCon3d7p`, differential formulas of B,
// L, H) and "椭球变换--二维七参数模型" (`TFormEllCon2d7p`, differential
// formulas of B and L, heights shifted by the eighth edit EditDH).
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

    // The texts of EditTx ... EditD.
    SevenParameterFields Parameters() const;
    // EditDH ("dH=", metres) of the two-dimensional window; null in the others.
    QLineEdit* HeightChange() const { return height_change_; }

    // "转换计算": StringGrid1 through the model into StringGrid2.
    void ToolButton6Click();

private:
    const SevenParameterModel& model_;
    QLineEdit* height_change_ = nullptr;
};

class TFormEllConBuerSha : public SevenParameterWindow {
    Q_OBJECT
public:
    TFormEllConBuerSha(QWidget* owner, UserDialogs& dialogs)
        : SevenParameterWindow(owner, dialogs, kBursaWolfModel, "FormEllConBuerSha") {}
};

class TFormEllCon3d7p : public SevenParameterWindow {
    Q_OBJECT
public:
    TFormEllCon3d7p(QWidget* owner, UserDialogs& dialogs)
        : SevenParameterWindow(owner, dialogs, kSeven3dModel, "FormEllCon3d7p") {}
};

class TFormEllCon2d7p : public SevenParameterWindow {
    Q_OBJECT
public:
    TFormEllCon2d7p(QWidget* owner, UserDialogs& dialogs)
        : SevenParameterWindow(owner, dialogs, kSeven2dModel, "FormEllCon2d7p") {}
};

}  // namespace coordconv
