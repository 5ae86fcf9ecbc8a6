// The frame of every conversion window: a top area for the window's own
// parameter groups, and below it the source table (left group) and the
// result table (right group) side by side on a movable
// splitter, each with its tool bar. The point-table commands are wired here
// once; a window adds its boxes to TopArea() and sets its convert command.
#pragma once

#include <QGroupBox>
#include <QSplitter>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWidget>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/point_conversion.h"
#include "table/coordinate_file.h"
#include "table/point_checks.h"
#include "table/row_conversion.h"
#include "ui/kit/point_grid.h"
#include "table/user_dialogs.h"

namespace coordconv {

struct ConversionWindowLayout {
    std::string caption;
    int width = 715;   // outer size in pixels
    int height = 448;
    std::string source_group_caption;
    std::string result_group_caption;
    std::vector<std::string> source_titles;
    std::vector<std::string> result_titles;
    int default_column_width = 80;
    std::vector<long double> column_shares = {0.18L, 0.41L, 0.41L};
    int column_width_offset = 34;               // shares divide (grid width - offset)
    FieldSplit split = FieldSplit::Projection;
    int written_columns = 3;
    bool clear_empties_result = false;          // " 清空 " empties both tables
    std::string append_caption = " 追加 ";
    bool import_first = false;                  // "文件导入" leads the source tool bar
    std::string source_group_name = "GroupBox2";
    std::string result_group_name = "GroupBox3";
};

class ConversionWindow : public QWidget {
    Q_OBJECT
public:
    ConversionWindow(QWidget* owner, UserDialogs& dialogs, const ConversionWindowLayout& layout);

    PointGrid& Source() { return *source_; }
    PointGrid& Result() { return *result_; }
    QVBoxLayout* TopArea() { return top_area_; }
    QToolBar* SourceToolBar() { return source_bar_; }
    QToolBar* ResultToolBar() { return result_bar_; }
    // A tool button by the number N of its object name ToolButtonN: 1 append,
    // 2 insert, 3 import, 4 delete, 5 clear, 6 convert, 7 save (the fitting
    // windows number their own buttons on).
    QToolButton* Button(int number) const;
    // Adds a captioned button named `name` to a tool bar (at its end, or
    // before the tool bar item `before`); returns it.
    QToolButton* AddButton(QToolBar* bar, const QString& name, const QString& caption, std::function<void()> click,
                           QAction* before = nullptr);

    // The convert command ("转换计算") runs inside the common error box
    // handling; the result grid is redrawn afterwards, also after a failure.
    void SetConvertCommand(std::function<void()> convert) { convert_ = std::move(convert); }
    // The convert command's table work: every data row of the source table
    // through `convert` into the same row of the result table.
    void ConvertSourceRows(const RowConversion& convert) { ConvertTable(convert, Source().Table(), Result().Table()); }
    // Adds "图形转换" at the end of the source tool bar: DXF drawings (with
    // `dxf_drawings`; they need a plane-to-plane conversion) and GIS layers
    // converted with `conversion` (read from the window's fields when the
    // command runs) into a chosen folder, with a cancellable progress bar,
    // then the summary. The button's menu also takes a whole folder of
    // layers; a drawing or layer dropped onto the source table offers the
    // same.
    void EnableDrawingConversion(std::function<PointConversion()> conversion, bool dxf_drawings = true);
    // The conversion of `files` (the command behind the button, after the
    // file dialog).
    void ConvertDrawingFiles(const std::vector<std::string>& files);
    // Runs a command of this window: its grids are redrawn when it ends, then
    // a failure is shown in the common error box. True when it finished.
    bool Run(const std::function<void()>& command);

    UserDialogs& Dialogs() { return dialogs_; }

    // The window's boxes as the import dialog's checks read them (central
    // meridian, Y constant); a window without them checks the rows alone.
    virtual PlausibilitySettings CheckSettings() const { return {}; }

    // "文件导入": asks for a file; a .dat or .txt file whose columns do not
    // fit the program's layout, or any file with Shift held or
    // `always_ask` ("导入设置…"), goes through the import dialog, the
    // program's own files straight into the source table.
    void ImportSource(bool always_ask);

    // Width of the source group for an outer window width: (W - 13) / 2 in
    // whole pixels, the fraction dropped.
    virtual int SourceGroupWidth(int outer_width) const { return (outer_width - 13) / 2; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // The window's show handler (the preset handlers).
    virtual void OnShow() {}
    // Redraws every grid of the window after a command.
    virtual void RefreshGrids();

    // The splitter holding the source and the result group.
    QSplitter* PointSplitter() const { return splitter_; }

    UserDialogs& dialogs_;

private:
    void ConvertClicked();
    void ImportFile(const std::string& path, bool always_ask);

    ConversionWindowLayout layout_;
    QVBoxLayout* top_area_;
    QSplitter* splitter_;
    QGroupBox* source_group_;
    QGroupBox* result_group_;
    PointGrid* source_;
    PointGrid* result_;
    QToolBar* source_bar_;
    QToolBar* result_bar_;
    std::map<int, QToolButton*> buttons_;
    std::function<void()> convert_;
    std::function<PointConversion()> drawing_conversion_;
    bool dxf_drawings_ = true;
};

// Centres a top-level window on its screen.
void CentreOnScreen(QWidget* window);

}  // namespace coordconv
