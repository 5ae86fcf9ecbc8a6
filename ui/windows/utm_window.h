// The transverse Mercator (UTM form) windows: "墨卡托投影正算" (object name
// "FormUTMZS", B,L -> x,y) and "墨卡托投影反算" ("FormUTMFS", x,y -> B,L). One class
// serves both directions; they differ only in captions, titles and the
// conversion they run.
#pragma once

#include <QLineEdit>

#include "ui/kit/conversion_window.h"
#include "ui/kit/ellipsoid_boxes.h"
#include "tools/projection/utm_tools.h"

namespace coordconv {

class UtmWindow : public ConversionWindow {
    Q_OBJECT
public:
    enum class Direction { Forward, Inverse };
    UtmWindow(QWidget* owner, UserDialogs& dialogs, Direction direction);

    EllipsoidBoxes& Ellipsoid() { return *ellipsoid_; }
    QLineEdit* CentralMeridian() const { return central_meridian_; }
    QLineEdit* XConstant() const { return x_constant_; }
    QLineEdit* YConstant() const { return y_constant_; }
    // The texts of the boxes as the convert command reads them.
    UtmFields Fields() const;
    PlausibilitySettings CheckSettings() const override;

    // The coordinate system list's preset, also applied when the window is shown.
    void ApplySystemPreset() { ellipsoid_->ApplyPreset(); }
    // "转换计算": the source table through the projection into the result table.
    void Convert();

protected:
    void OnShow() override { ApplySystemPreset(); }

private:
    Direction direction_;
    EllipsoidBoxes* ellipsoid_;
    QLineEdit* central_meridian_;
    QLineEdit* x_constant_;
    QLineEdit* y_constant_;
};

class UtmForwardWindow : public UtmWindow {
    Q_OBJECT
public:
    UtmForwardWindow(QWidget* owner, UserDialogs& dialogs) : UtmWindow(owner, dialogs, Direction::Forward) {}
};

class UtmInverseWindow : public UtmWindow {
    Q_OBJECT
public:
    UtmInverseWindow(QWidget* owner, UserDialogs& dialogs) : UtmWindow(owner, dialogs, Direction::Inverse) {}
};

}  // namespace coordconv
