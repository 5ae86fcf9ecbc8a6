// The frame of every fitting window (datum, plane and height models): a
// conversion window whose upper part holds the common points and the
// parameters, above the source and result tables:
//
//   [ settings area: source group | target group ]        (datum windows only)
//   ------------------------------------------------ splitter
//   [ "公共点坐标": StringGrid3, ToolBar3 ] | [ "转换参数": fields, ToolBar4 ]
//   ------------------------------------------------ splitter
//   [ source: StringGrid1, ToolBar1 ]      | [ result: StringGrid2, ToolBar2 ]
//
// Written once here: the common-point grid with its row commands, import and
// save (ToolButton8..12, ToolButton16), the adoption toggle on double click
// (StringGrid3DblClick), the solve button ToolButton13 with the accuracy
// line EditMp, and the parameter file of the parameter edits (ToolButton14
// "保存参数", ToolButton15 "导入参数"). A window adds only its own fields
// and commands:
//   - parameter edits with AddParameterEdit (they make up the parameter file,
//     in the order added), or its own widgets in ParameterArea() with its own
//     ToolButton14Click/ToolButton15Click;
//   - its settings groups with SetSettingsGroups, its solve with
//     SetSolveCommand, its convert with SetConvertCommand;
//   - more ToolBar3 buttons with AddCommonPointButton (placed before the solve
//     button), widgets above StringGrid3 with AddAboveCommonPoints.
#pragma once

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSplitter>
#include <QToolBar>
#include <QVBoxLayout>
#include <functional>
#include <string>
#include <vector>

#include "ui/kit/conversion_window.h"
#include "ui/kit/point_grid.h"
#include "ui/kit/precision_report_window.h"
#include "fitting/common_points.h"

namespace coordconv {

// StringGrid3: a point grid that reports a double click on a cell also when
// the cell's editor is open (the editor takes the mouse then). Text typed in
// the editor is committed to the table before the signal.
class CommonPointGrid : public PointGrid {
    Q_OBJECT
public:
    CommonPointGrid(std::vector<std::string> titles, int default_column_width, QWidget* parent = nullptr);

    // The current cell as the table counts it (row 1 = first data row).
    int CurrentColumn() const;

signals:
    void CellDoubleClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// A window's solve as the frame runs it: the outcome, and how the window
// shows the parameter fields the model returned.
struct FittingRun {
    FitOutcome outcome;
    std::function<void()> show_fields;
};

// A FittingRun of a model's result: `show` gets the returned fields.
template <typename Fields, typename Show>
FittingRun ShowingFields(FitResult<Fields> fit, Show show) {
    return {std::move(fit.outcome), [fields = std::move(fit.fields), show = std::move(show)] { show(fields); }};
}

// The title of the export's text dialog.
inline constexpr const char* kProjExportTitle = "导出PROJ";

// The hint of the common-point grid: the points not adopted check the solve
// from outside. The windows show it in three wordings, each kept as it is:
// the three-dimensional datum windows without the full stop, the height fit
// window with it, and the windows whose solve leaves the heights out (plane
// four-parameter, polynomial, two-dimensional seven-parameter) with a second
// sentence saying so; their result grid's hint says the heights are not
// converted.
inline const std::string kCommonPointHint = "未被采用的公共点将作为外部检核点使用";
inline const std::string kCommonPointHintSentence = kCommonPointHint + "。";
inline const std::string kCommonPointHintHeightsUnused = kCommonPointHintSentence + "高程未参与计算。";
inline const std::string kHeightsNotConvertedHint = "高程未进行转换";

struct FittingWindowLayout {
    // Caption, outer size, the source and result groups and their tables
    // (4 columns, the fitting-window split, both tables cleared by " 清空 ").
    ConversionWindowLayout points;
    // StringGrid3: columns, flags, files, shares and the EditMp offset.
    CommonPointLayout common_points;
    std::vector<std::string> common_point_titles;
    std::string common_group_caption = "公共点坐标";
    std::string common_point_hint;  // StringGrid3's hint
    std::string parameter_group_caption = "转换参数";
    int parameter_group_width = 224;
    std::string solve_caption;  // ToolButton13, e.g. "解算七参数"
};

// The layout of the point tables common to the fitting windows: the given
// caption and size, 4 columns split with SplitFields, " 清空 " empties both
// tables, "原坐标"/"新坐标" groups, column shares 0.16, 0.32, 0.32, 0.20.
ConversionWindowLayout FittingPointLayout(const std::string& caption, int width, int height);

// A parameter edit as the fitting windows show it: no border, blue text on
// the button-face colour.
void StyleParameterEdit(QLineEdit* edit);

class FittingWindow : public ConversionWindow {
    Q_OBJECT
public:
    FittingWindow(QWidget* owner, UserDialogs& dialogs, const FittingWindowLayout& layout);

    CommonPointGrid& CommonPoints() { return *common_; }  // StringGrid3
    const CommonPointLayout& CommonLayout() const { return layout_.common_points; }
    QToolBar* CommonPointToolBar() const { return common_bar_; }    // ToolBar3
    QToolBar* ParameterToolBar() const { return parameter_bar_; }  // ToolBar4
    QLineEdit* AccuracyEdit() const { return accuracy_edit_; }     // EditMp
    QGroupBox* CommonPointGroupBox() const { return common_group_; }
    QGroupBox* ParameterGroupBox() const { return parameter_group_; }
    // The inside of the parameter group, above ToolBar4.
    QVBoxLayout* ParameterArea() const { return parameter_area_; }

    // A labelled parameter edit (label right-aligned, hint as tool tip)
    // appended to the parameter group; the edits form the parameter file in
    // the order they are added.
    QLineEdit* AddParameterEdit(const QString& name, const QString& label, const QString& hint,
                                const QString& text = "0");
    const std::vector<QLineEdit*>& ParameterEdits() const { return parameter_edits_; }
    std::vector<std::string> ParameterTexts() const;
    // Texts for the edits in order; edits beyond `texts` become empty.
    void SetParameterTexts(const std::vector<std::string>& texts);

    // The report window, once "精度报告" has opened it.
    PrecisionReportWindow* ReportWindow() const { return report_window_; }

    // "导出PROJ" (ToolButton18) at the end of ToolBar4: shows the text that
    // `make_export` returns (copy, save to a text file); a NotExportableError
    // shows as a message instead.
    QToolButton* AddProjExportButton(std::function<std::string()> make_export);

    // A ToolBar3 button placed before the solve button.
    QToolButton* AddCommonPointButton(const QString& name, const QString& caption, std::function<void()> click);
    // A widget placed above StringGrid3 inside the common-point group.
    void AddAboveCommonPoints(QWidget* widget);
    // The two settings groups above the common points; the source group takes
    // the width SourceGroupWidth(outer width) on every resize.
    void SetSettingsGroups(QWidget* source, QWidget* target);

    // The model's solve: reads the window's fields and solves on the given
    // copy of the common-point table, touching no widget. The frame then
    // shows the outcome's messages, takes the table, shows the fields (also
    // after a failure: they hold what the command wrote before it ended),
    // reports the failure, or gives EditMp its accuracy line.
    void SetSolveCommand(std::function<FittingRun(PointTable& common_points)> solve) { solve_ = std::move(solve); }

    // New titles of StringGrid3 (the coordinate form changed); cells stay.
    void SetCommonPointTitles(const std::vector<std::string>& titles);

    // The handlers of ToolBar3, ToolBar4 and StringGrid3.
    void ToolButton8Click();   // " 追加 "
    void ToolButton9Click();   // " 插入 "
    void ToolButton10Click();  // "文件导入"
    void ToolButton11Click();  // " 删除 "
    void ToolButton12Click();  // " 清空 "
    void ToolButton16Click();  // "保存公共点"
    void ToolButton13Click();  // solve
    void ToolButton19Click();  // "精度报告": the report window of the latest solve
    void StringGrid3DblClick();
    // "保存参数" / "导入参数": by default the parameter file of the edits.
    virtual void ToolButton14Click();
    virtual void ToolButton15Click();

protected:
    void RefreshGrids() override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SizeAccuracyLine();
    void SizePanels();

    FittingWindowLayout layout_;
    QSplitter* vertical_;
    QSplitter* upper_;
    QWidget* settings_panel_ = nullptr;
    QWidget* settings_source_ = nullptr;
    QGroupBox* common_group_;
    QVBoxLayout* common_box_;
    CommonPointGrid* common_;
    QToolBar* common_bar_;
    QAction* solve_action_;
    QLineEdit* accuracy_edit_;
    QGroupBox* parameter_group_;
    QVBoxLayout* parameter_area_;
    QGridLayout* parameter_form_ = nullptr;
    QToolBar* parameter_bar_;
    std::vector<QLineEdit*> parameter_edits_;
    std::function<FittingRun(PointTable&)> solve_;
    std::optional<PrecisionReport> report_;
    PrecisionReportWindow* report_window_ = nullptr;
    bool panels_sized_ = false;
};

// Rewrites the title row of a point grid; the data rows stay.
void SetGridTitles(PointGrid& grid, const std::vector<std::string>& titles);

// Redraws a grid after its table was changed directly, keeping its current cell.
void RefreshGrid(PointGrid& grid);

}  // namespace coordconv
