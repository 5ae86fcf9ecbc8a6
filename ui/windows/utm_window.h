// The transverse Mercator (UTM form) windows: "墨卡托投影正算" (`TFormUTMZS`,
// B,L -> x,y) and "墨卡托投影反算" (`TFormUTMFS`, x,y -> B,L). One class
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

    // The preset handler, also the show handler.
    void ComboBox1Change() { ellipsoid_->ApplyPreset(); }
    // "转换计算".
    void ToolButton6Click();

protected:
    void OnShow() override { ComboBox1Change(); }

private:
    Direction direction_;
    EllipsoidBoxes* ellipsoid_;
    QLineEdit* central_meridian_;
    QLineEdit* x_constant_;
    QLineEdit* y_constant_;
};

class TFormUTMZS : public UtmWindow {
    Q_OBJECT
public:
    TFormUTMZS(QWidget* owner, UserDialogs& dialogs) : UtmWindow(owner, dialogs, Direction::Forward) {}
};

class TFormUTMFS : public UtmWindow {
    Q_OBJECT
public:
    TFormUTMFS(QWidget* owner, UserDialogs& dialogs) : UtmWindow(owner, dialogs, Direction::Inverse) {}
};

}  // namespace coordconv
