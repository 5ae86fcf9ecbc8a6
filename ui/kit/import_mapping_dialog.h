// The import dialog "导入设置" for point files in other layouts: the
// separator, header lines to skip, what each of the file's columns holds
// and the angle form, with a preview of the first rows as the table will
// hold them. Rows the checks find implausible for the window's settings are
// marked, and each warning offers its fix; nothing is changed unless the
// user ticks it.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <vector>

#include "table/user_dialogs.h"

namespace coordconv {

class ImportMappingDialog : public QDialog {
    Q_OBJECT
public:
    ImportMappingDialog(const ImportMappingRequest& request, QWidget* parent = nullptr);

    // The mapping and the ticked fixes as they now stand.
    ImportMappingChoice Choice() const;
    void SetMapping(const ColumnMapping& mapping);

    // The widgets, for the window tests.
    QComboBox* Preset() const { return preset_; }
    QComboBox* Separator() const { return separator_; }
    QSpinBox* SkipLines() const { return skip_; }
    QComboBox* Angles() const { return angles_; }
    QComboBox* ColumnRole(int file_column) const { return roles_.at(static_cast<std::size_t>(file_column)); }
    int FileColumnCount() const { return static_cast<int>(roles_.size()); }
    QTableWidget* Preview() const { return preview_; }
    // The warnings shown, and the tick boxes of their fixes.
    const std::vector<PlausibilityWarning>& Warnings() const { return warnings_; }
    const std::vector<QCheckBox*>& FixBoxes() const { return fix_boxes_; }

    // Number of preview rows.
    static constexpr int kPreviewRows = 20;

private:
    void Update();
    void PresetChosen(int index);

    ImportMappingRequest request_;
    std::vector<std::string> table_roles_;
    QComboBox* preset_;
    QComboBox* separator_;
    QSpinBox* skip_;
    QComboBox* angles_;
    std::vector<QComboBox*> roles_;
    QTableWidget* preview_;
    QLabel* status_;
    QVBoxLayout* warning_area_;
    std::vector<PlausibilityWarning> warnings_;
    std::vector<PointFix> ticked_;
    std::vector<QCheckBox*> fix_boxes_;
    bool updating_ = false;
};

}  // namespace coordconv
