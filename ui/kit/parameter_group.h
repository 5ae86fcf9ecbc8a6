// A captioned group of parameter boxes laid out in rows of "caption box"
// pairs, as the top groups of the tool windows show them.
#pragma once

#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <initializer_list>
#include <utility>

namespace coordconv {

// A right-aligned caption for `control` at (row, column) of `grid`, the
// control in the next column.
void AddLabelled(QGridLayout* grid, int row, int column, const QString& caption, QWidget* control);

class ParameterGroup {
public:
    ParameterGroup(QWidget* parent, const QString& caption, const QString& name);

    QGroupBox* Box() const { return box_; }
    // A new edit box named `name` holding `text`.
    QLineEdit* AddEdit(const QString& name, const QString& text);
    // One row of caption/control pairs.
    void AddRow(std::initializer_list<std::pair<QString, QWidget*>> pairs);

private:
    QGroupBox* box_;
    QGridLayout* grid_;
    int rows_ = 0;
};

}  // namespace coordconv
