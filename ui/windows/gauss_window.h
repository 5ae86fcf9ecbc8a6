// The Gauss projection windows: "高斯投影正算" (object name "FormGSZS",
// B,L -> x,y) and "高斯投影反算" ("FormGSFS", x,y -> B,L).
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

    // The coordinate system list's preset, also applied when the window is shown.
    void ApplySystemPreset() { ellipsoid_->ApplyPreset(); }
    // "转换计算": the source table through the projection into the result table.
    void Convert();
    PlausibilitySettings CheckSettings() const override;

protected:
    void OnShow() override { ApplySystemPreset(); }

private:
    Direction direction_;
    EllipsoidBoxes* ellipsoid_;
    QLineEdit* central_meridian_;
    QLineEdit* y_constant_;
};

class GaussForwardWindow : public GaussWindow {
    Q_OBJECT
public:
    GaussForwardWindow(QWidget* owner, UserDialogs& dialogs) : GaussWindow(owner, dialogs, Direction::Forward) {}
};

class GaussInverseWindow : public GaussWindow {
    Q_OBJECT
public:
    GaussInverseWindow(QWidget* owner, UserDialogs& dialogs) : GaussWindow(owner, dialogs, Direction::Inverse) {}
};

}  // namespace coordconv
