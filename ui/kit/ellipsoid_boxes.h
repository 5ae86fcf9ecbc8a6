// The coordinate-system list with its a and 1/f boxes ("坐标系", "a=",
// "f=1/"). The boxes are empty and disabled when created; the preset handler
// fills them from the chosen preset and enables them only for "自定义".
#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QObject>

namespace coordconv {

class EllipsoidBoxes : public QObject {
    Q_OBJECT
public:
    // Creates the three controls under `parent` with the given object names,
    // the list showing item `initial_index`.
    EllipsoidBoxes(QWidget* parent, const QString& list_name, const QString& a_name, const QString& f_name,
                   int initial_index);

    QComboBox* List() const { return list_; }
    QLineEdit* A() const { return a_; }
    QLineEdit* InverseFlattening() const { return f_; }

    // The preset handler of the list: presets 0..3 write their texts; the
    // boxes are editable only under "自定义", which keeps what they hold.
    void ApplyPreset();

    // Shows item `index` without running the preset handler: a window that
    // restores its last choice from the settings file applies the preset when
    // it is shown.
    void SelectQuietly(int index);

private:
    QComboBox* list_;
    QLineEdit* a_;
    QLineEdit* f_;
};

}  // namespace coordconv
