#include "ui/kit/ellipsoid_boxes.h"

#include <QSignalBlocker>

#include "core/ellipsoid.h"

namespace coordconv {

EllipsoidBoxes::EllipsoidBoxes(QWidget* parent, const QString& list_name, const QString& a_name,
                               const QString& f_name, int initial_index)
    : QObject(parent), list_(new QComboBox(parent)), a_(new QLineEdit(parent)), f_(new QLineEdit(parent)) {
    list_->setObjectName(list_name);
    a_->setObjectName(a_name);
    f_->setObjectName(f_name);
    for (const auto& preset : kCoordinateSystemPresets) list_->addItem(QString::fromUtf8(preset.name));
    list_->setCurrentIndex(initial_index);
    a_->setEnabled(false);
    f_->setEnabled(false);
    connect(list_, &QComboBox::currentIndexChanged, this, [this] { ApplyPreset(); });
}

void EllipsoidBoxes::ApplyPreset() {
    const int index = list_->currentIndex();
    if (index >= 0 && index < kCustomSystemIndex) {
        const auto& preset = kCoordinateSystemPresets[static_cast<std::size_t>(index)];
        a_->setText(QString::fromUtf8(preset.semi_major_axis_text));
        f_->setText(QString::fromUtf8(preset.inverse_flattening_text));
    }
    const bool custom = index == kCustomSystemIndex;
    a_->setEnabled(custom);
    f_->setEnabled(custom);
}

void EllipsoidBoxes::SelectQuietly(int index) {
    const QSignalBlocker quiet(list_);
    list_->setCurrentIndex(index);
}

}  // namespace coordconv
