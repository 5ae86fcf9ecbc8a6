// The Gauss projection windows: "高斯投影正算" (`TFormGSZS`, B,L -> x,y) and
// "高斯投影反算" (`TFormGSFS`, x,y -> B,L).
#pragma once

#include <QLineEdit>

#include "ui/kit/conversion_window.h"
#include "ui/kit/ellipsoid_boxes.h"
#include "tools/projection/gauss_tools.h"

namespace coordconv {


class GaussWindow : public ConversionWindow {
    Q_OBJECT
public:
    enum class Direction { Forward, Inverse };
    GaussWindow(QWidget* owner, UserDialogs& dialogs, Direction direction);

    EllipsoidBoxes& Ellipsoid() { return *ellipsoid_; }
    // The texts of the boxes as the convert command reads them.
    GaussFields Fields() const;

    // The preset handler, also the show handler.
    void ComboBox1Change() { ellipsoid_->ApplyPreset(); }
    // "转换计算".
    void ToolButton6Click();
    PlausibilitySettings CheckSettings() const override;

protected:
    void OnShow() override { ComboBox1Change(); }

private:
    Direction direction_;
    EllipsoidBoxes* ellipsoid_;
    QLineEdit* central_meridian_;
    QLineEdit* y_constant_;
};

class TFormGSZS : public GaussWindow {
    Q_OBJECT
public:
    TFormGSZS(QWidget* owner, UserDialogs& dialogs) : GaussWindow(owner, dialogs, Direction::Forward) {}
};

class TFormGSFS : public GaussWindow {
    Q_OBJECT
public:
    TFormGSFS(QWidget* owner, UserDialogs& dialogs) : GaussWindow(owner, dialogs, Direction::Inverse) {}
};

}  // namespace coordconv
