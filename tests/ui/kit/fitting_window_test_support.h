// Typing into the grids of a fitting window and double clicking a cell, the
// way a user does it: through the grids' models and mouse events.
#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QTableView>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "ui/kit/point_grid.h"
#include "ui/kit/fitting_window.h"

namespace coordconv::testing {

// Types `text` into the cell (col, row) of a point grid (row 1 = first data row).
inline void TypeCell(PointGrid& grid, int row, int col, const std::string& text) {
    grid.model()->setData(grid.model()->index(row - 1, col), QString::fromStdString(text));
}

// Makes the grid hold exactly `rows` data rows, each typed from column 0 on.
inline void TypeRows(PointGrid& grid, const std::vector<std::vector<std::string>>& rows) {
    grid.Edit([&](PointTable& table) { table.SetRowCount(static_cast<int>(rows.size()) + 1); });
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < rows[r].size(); ++c)
            TypeCell(grid, static_cast<int>(r) + 1, static_cast<int>(c), rows[r][c]);
}

// A double click in the middle of a cell of a grid view (`model_row` counts
// from 0 as the view does), delivered as a user's would be: the first click
// to whatever lies under the mouse (it may open the cell's editor), the
// second press and the double click to what lies there then.
inline void DoubleClickCell(QTableView& view, int model_row, int col) {
    const QPoint centre = view.visualRect(view.model()->index(model_row, col)).center();
    const auto send = [&](QEvent::Type type) {
        QWidget* under = view.viewport()->childAt(centre);
        QWidget* target = under != nullptr ? under : view.viewport();
        const QPoint local = target->mapFrom(view.viewport(), centre);
        const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, local, target->mapToGlobal(local), Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    };
    send(QEvent::MouseButtonPress);
    send(QEvent::MouseButtonRelease);
    send(QEvent::MouseButtonPress);
    send(QEvent::MouseButtonDblClick);
    send(QEvent::MouseButtonRelease);
}

// The share rule of a grid's columns with values worked out by hand: the grid
// is made `offset` + 1000 pixels wide, so each column must be 1000 times its
// share, truncated.
template <typename Grid>
void ExpectColumnWidthsAt1000(Grid& grid, int offset, const std::vector<int>& expected) {
    grid.resize(offset + 1000, grid.height());
    EXPECT_EQ(grid.ColumnWidths(), expected);
}

// EditMp is as wide as ToolBar3 less `offset`, or, where the buttons leave
// less room than that, it fills the room to the tool bar's end (less the
// overflow arrow that then holds "精度报告"); it is never moved into the
// overflow menu, and "精度报告" after it never narrows it.
inline void ExpectAccuracyLineWidth(const FittingWindow& window, int offset) {
    const QLineEdit* line = window.AccuracyEdit();
    const QToolButton* report = window.Button(19);
    const QToolBar* bar_widget = window.CommonPointToolBar();
    const int bar = bar_widget->width();
    EXPECT_TRUE(line->isVisible());
    EXPECT_LE(line->width(), bar - offset);
    const int right = line->geometry().right() + 1;
    EXPECT_LE(right, bar);
    if (report->isVisible()) {
        EXPECT_EQ(line->width(), bar - offset) << "the report button narrowed the line";
        EXPECT_GT(report->geometry().left(), line->geometry().right());
        EXPECT_LE(report->geometry().right() + 1, bar);
    } else if (line->width() < bar - offset) {
        const int arrow = bar_widget->style()->pixelMetric(QStyle::PM_ToolBarExtensionExtent, nullptr, bar_widget);
        EXPECT_LE(bar - right, 8 + arrow + 8) << "the line leaves room unused";
    }
}

}  // namespace coordconv::testing
