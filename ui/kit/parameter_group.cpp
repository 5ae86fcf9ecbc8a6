#include "ui/kit/parameter_group.h"

#include <QLabel>

namespace coordconv {

void AddLabelled(QGridLayout* grid, int row, int column, const QString& caption, QWidget* control) {
    auto* label = new QLabel(caption, control->parentWidget());
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setBuddy(control);
    grid->addWidget(label, row, column);
    grid->addWidget(control, row, column + 1);
}

ParameterGroup::ParameterGroup(QWidget* parent, const QString& caption, const QString& name)
    : box_(new QGroupBox(caption, parent)), grid_(new QGridLayout(box_)) {
    box_->setObjectName(name);
    grid_->setContentsMargins(6, 4, 6, 4);
    grid_->setHorizontalSpacing(6);
    grid_->setVerticalSpacing(4);
}

QLineEdit* ParameterGroup::AddEdit(const QString& name, const QString& text) {
    auto* edit = new QLineEdit(text, box_);
    edit->setObjectName(name);
    return edit;
}

void ParameterGroup::AddRow(std::initializer_list<std::pair<QString, QWidget*>> pairs) {
    int column = 0;
    for (const auto& [caption, control] : pairs) {
        auto* label = new QLabel(caption, box_);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setBuddy(control);
        grid_->addWidget(label, rows_, column++);
        grid_->addWidget(control, rows_, column++);
        grid_->setColumnStretch(column - 1, 1);
    }
    ++rows_;
}

}  // namespace coordconv
