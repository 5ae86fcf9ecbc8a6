// The frame of every fitting window (datum, plane and height models): a
// conversion window whose upper part holds the common points and the
// parameters, above the source and result tables:
//
//   [ settings area: source group | target group ]        (datum windows only)
//   ------------------------------------------------ splitter
//   [ "公共点坐标": common points, their tool bar ] | [ "转换参数": fields, their tool bar ]
//   ------------------------------------------------ splitter
//   [ source points, tool bar ]            | [ converted points, tool bar ]
//
// Written once here: the common-point table with its row commands, import
// and save, the adoption toggle on double click, the solve button with the
// accuracy line, and the parameter file of the parameter edits ("保存参数",
// "导入参数"). A window adds only its own fields and commands:
//   - parameter edits with AddParameterEdit (they make up the parameter file,
//     in the order added), or its own widgets in ParameterArea() with its own
//     SaveParameters/LoadParameters;
//   - its settings groups with SetSettingsGroups, its solve with
//     SetSolveCommand, its convert with SetConvertCommand;
//   - more common-point buttons with AddCommonPointButton (placed before the
//     solve button), widgets above the common points with AddAboveCommonPoints.
//
// The widgets' object names (accessibility tools and users' automation read
// them) are set here and in each window, next to the member they name:
//   common points "StringGrid3" on "ToolBar3": " 追加 " ToolButton8,
//   " 插入 " ToolButton9, "文件导入" ToolButton10, " 删除 " ToolButton11,
//   " 清空 " ToolButton12, "保存公共点" ToolButton16, solve ToolButton13,
//   accuracy line EditMp, "精度报告" ToolButton19; parameters on "ToolBar4":
//   "保存参数" ToolButton14, "导入参数" ToolButton15, "导出PROJ" ToolButton18.
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

// The common-point table: a point grid that reports a double click on a cell also when
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

// The hint of the common-point table: the points not adopted check the solve
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
    // The model's common-point table: columns, flags, files.
    CommonPointLayout common_points;
    std::vector<std::string> common_point_titles;
    // Column widths of the common points: trunc((table width - offset) * share).
    std::vector<long double> common_point_shares = {0.05L, 0.10L, 0.10L, 0.07L, 0.10L, 0.10L, 0.07L,
                                                    0.07L, 0.07L, 0.07L, 0.07L, 0.07L, 0.06L};
    int common_point_width_offset = 34;
    // The accuracy line's width: the common-point tool bar's width less this.
    int accuracy_line_offset = 375;
    std::string common_group_caption = "公共点坐标";
    std::string common_point_hint;
    std::string parameter_group_caption = "转换参数";
    int parameter_group_width = 224;
    std::string solve_caption;  // e.g. "解算七参数"
};

// One parameter edit: its object name, right-aligned label and hint.
struct ParameterEditSpec {
    const char* object_name;  // e.g. "EditTx"
    const char* label;        // e.g. "Tx="
    const char* hint;         // e.g. "X平移"
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

    CommonPointGrid& CommonPoints() { return *common_; }
    const CommonPointLayout& CommonLayout() const { return layout_.common_points; }
    QToolBar* CommonPointToolBar() const { return common_bar_; }
    QToolBar* ParameterToolBar() const { return parameter_bar_; }
    QLineEdit* AccuracyEdit() const { return accuracy_edit_; }  // the accuracy line
    QGroupBox* CommonPointGroupBox() const { return common_group_; }
    QGroupBox* ParameterGroupBox() const { return parameter_group_; }
    // The inside of the parameter group, above its tool bar.
    QVBoxLayout* ParameterArea() const { return parameter_area_; }

    // A labelled parameter edit (label right-aligned, hint as tool tip)
    // appended to the parameter group; the edits form the parameter file in
    // the order they are added.
    QLineEdit* AddParameterEdit(const QString& name, const QString& label, const QString& hint,
                                const QString& text = "0");
    QLineEdit* AddParameterEdit(const ParameterEditSpec& spec);
    const std::vector<QLineEdit*>& ParameterEdits() const { return parameter_edits_; }
    std::vector<std::string> ParameterTexts() const;
    // Texts for the edits in order; edits beyond `texts` become empty.
    void SetParameterTexts(const std::vector<std::string>& texts);

    // The report window, once "精度报告" has opened it.
    PrecisionReportWindow* ReportWindow() const { return report_window_; }

    // "导出PROJ" at the end of the parameter tool bar: shows the text that
    // `make_export` returns (copy, save to a text file); a NotExportableError
    // shows as a message instead.
    QToolButton* AddProjExportButton(std::function<std::string()> make_export);

    // A common-point tool bar button placed before the solve button.
    QToolButton* AddCommonPointButton(const QString& name, const QString& caption, std::function<void()> click);
    // A widget placed above the common points inside their group.
    void AddAboveCommonPoints(QWidget* widget);
    // The two settings groups above the common points; the source group takes
    // the width SourceGroupWidth(outer width) on every resize.
    void SetSettingsGroups(QWidget* source, QWidget* target);

    // The model's solve: reads the window's fields and solves on the given
    // copy of the common-point table, touching no widget. The frame then
    // shows the outcome's messages, takes the table, shows the fields (also
    // after a failure: they hold what the command wrote before it ended),
    // reports the failure, or shows the accuracy line.
    void SetSolveCommand(std::function<FittingRun(PointTable& common_points)> solve) { solve_ = std::move(solve); }

    // New titles of the common points (the coordinate form changed); cells stay.
    void SetCommonPointTitles(const std::vector<std::string>& titles);

    // The commands of the common points and the parameters.
    void AppendCommonPoint();      // " 追加 "
    void InsertCommonPoint();      // " 插入 "
    void ImportCommonPointFile();  // "文件导入"
    void DeleteCommonPoint();      // " 删除 "
    void ClearCommonPoints();      // " 清空 "
    void SaveCommonPointFile();    // "保存公共点"
    void SolveParameters();        // the solve button
    void ShowPrecisionReport();    // "精度报告": the report window of the latest solve
    // A double click on a cell: the adoption cell of a data row toggles.
    void ToggleAdoptionAtCurrentCell();
    // "保存参数" / "导入参数": by default the parameter file of the edits.
    virtual void SaveParameters();
    virtual void LoadParameters();

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
