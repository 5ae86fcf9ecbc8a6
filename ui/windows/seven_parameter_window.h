// The three datum windows with seven parameters Tx, Ty, Tz, Rx, Ry, Rz, D:
// "椭球变换--布尔沙模型" (`TFormEllConBuerSha`, geocentric similarity),
// "椭球变换--三维七参数模型" (`TFormEllCon3d7p`, differential formulas of B,
// L, H) and "椭球变换--二维七参数模型" (`TFormEllCon2d7p`, differential
// formulas of B and L, heights shifted by the eighth edit EditDH).
#pragma once

#include <QLineEdit>
#include <string>

#include "tools/datum/bursa_wolf.h"
#include "ui/windows/datum_window.h"

namespace coordconv {

class SevenParameterWindow : public DatumWindow {
    Q_OBJECT
public:
    enum class Model { BursaWolf, Seven3d, Seven2d };
    SevenParameterWindow(QWidget* owner, UserDialogs& dialogs, Model model);

    // The texts of EditTx ... EditD.
    SevenParameterFields Parameters() const;
    // EditDH ("dH=", metres) of the two-dimensional window; null in the others.
    QLineEdit* HeightChange() const { return height_change_; }

    // "转换计算": StringGrid1 through the model into StringGrid2.
    void ToolButton6Click();

private:
    // "解算七参数" on the common points; the edits show what it wrote.
    AccuracyReport Solve(PointTable& common_points);
    std::string HeightChangeText() const;
    void ShowParameters(const SevenParameterFields& parameters, const std::string& height_change);

    Model model_;
    QLineEdit* height_change_ = nullptr;
};

class TFormEllConBuerSha : public SevenParameterWindow {
    Q_OBJECT
public:
    TFormEllConBuerSha(QWidget* owner, UserDialogs& dialogs) : SevenParameterWindow(owner, dialogs, Model::BursaWolf) {}
};

class TFormEllCon3d7p : public SevenParameterWindow {
    Q_OBJECT
public:
    TFormEllCon3d7p(QWidget* owner, UserDialogs& dialogs) : SevenParameterWindow(owner, dialogs, Model::Seven3d) {}
};

class TFormEllCon2d7p : public SevenParameterWindow {
    Q_OBJECT
public:
    TFormEllCon2d7p(QWidget* owner, UserDialogs& dialogs) : SevenParameterWindow(owner, dialogs, Model::Seven2d) {}
};

}  // namespace coordconv
