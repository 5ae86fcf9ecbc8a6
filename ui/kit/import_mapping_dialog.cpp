#include "ui/kit/import_mapping_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <algorithm>

#include "core/errors.h"
#include "ui/kit/qt_text.h"

namespace coordconv {

namespace {

const FieldSeparator kSeparators[] = {FieldSeparator::Comma, FieldSeparator::Blanks, FieldSeparator::Tab,
                                      FieldSeparator::Semicolon};
const char* const kSeparatorCaptions[] = {"逗号", "空格", "制表符", "分号"};
const AngleForm kAngleForms[] = {AngleForm::PackedDms, AngleForm::DecimalDegrees, AngleForm::DmsText};
const char* const kAngleCaptions[] = {"度分秒 ddd.mmss", "十进制度", "度分秒文字 (30°30′15″, 30 30 15, 30度30分15秒)"};
constexpr int kMaxFileColumns = 16;
const QColor kWarnedRow(255, 220, 200);

template <typename T, std::size_t N>
int IndexOf(const T (&items)[N], T value) {
    for (std::size_t i = 0; i < N; ++i)
        if (items[i] == value) return static_cast<int>(i);
    return 0;
}

// The program's own layout for the table: its columns in order.
ColumnMapping ProgramMapping(const std::vector<std::string>& table_roles) {
    ColumnMapping mapping;
    for (const std::string& role : table_roles) mapping.columns.push_back(role.empty() ? "-" : role);
    return mapping;
}

// A preset's columns over a spreadsheet's rows: its cells (tabs) and the
// header row found in it.
ColumnMapping ForRequest(ColumnMapping mapping, const ImportMappingRequest& request) {
    if (!request.spreadsheet) return mapping;
    mapping.separator = FieldSeparator::Tab;
    mapping.skip_lines = request.mapping.skip_lines;
    return mapping;
}

}  // namespace

ImportMappingDialog::ImportMappingDialog(const ImportMappingRequest& request, QWidget* parent)
    : QDialog(parent), request_(request), table_roles_(RolesFromTitles(request.titles)) {
    setObjectName("ImportMappingDialog");
    setWindowTitle(QString::fromUtf8("导入设置 - ") + ToQString(request.path));
    resize(760, 560);
    auto* outer = new QVBoxLayout(this);

    auto* settings = new QGridLayout;
    preset_ = new QComboBox(this);
    preset_->setObjectName("PresetBox");
    preset_->addItem(QString::fromUtf8("本程序格式 (逗号分隔, 点号在先)"));
    preset_->addItem(ToQString(kCassPresetName));
    preset_->addItem(QString::fromUtf8("自定义"));
    separator_ = new QComboBox(this);
    separator_->setObjectName("SeparatorBox");
    for (const char* caption : kSeparatorCaptions) separator_->addItem(QString::fromUtf8(caption));
    skip_ = new QSpinBox(this);
    skip_->setObjectName("SkipLinesBox");
    skip_->setRange(0, 1000);
    angles_ = new QComboBox(this);
    angles_->setObjectName("AngleFormBox");
    for (const char* caption : kAngleCaptions) angles_->addItem(QString::fromUtf8(caption));
    settings->addWidget(new QLabel(QString::fromUtf8("预设"), this), 0, 0);
    settings->addWidget(preset_, 0, 1);
    settings->addWidget(new QLabel(QString::fromUtf8("分隔符"), this), 0, 2);
    settings->addWidget(separator_, 0, 3);
    settings->addWidget(new QLabel(QString::fromUtf8("跳过行数(表头)"), this), 1, 0);
    settings->addWidget(skip_, 1, 1);
    settings->addWidget(new QLabel(QString::fromUtf8("纬度B、经度L格式"), this), 1, 2);
    settings->addWidget(angles_, 1, 3);
    outer->addLayout(settings);

    // One role box per file column.
    outer->addWidget(new QLabel(QString::fromUtf8("文件各列的内容:"), this));
    auto* columns = new QHBoxLayout;
    for (int i = 0; i < kMaxFileColumns; ++i) {
        auto* box = new QComboBox(this);
        box->setObjectName(QString("ColumnRole%1").arg(i + 1));
        box->addItem(QString::fromUtf8("(不读)"), QString("-"));
        for (std::size_t c = 0; c < table_roles_.size(); ++c)
            if (!table_roles_[c].empty())
                box->addItem(ToQString(request.titles[c]), ToQString(table_roles_[c]));
        box->setToolTip(QString::fromUtf8("第%1列").arg(i + 1));
        columns->addWidget(box);
        roles_.push_back(box);
        connect(box, &QComboBox::currentIndexChanged, this, [this] {
            if (updating_) return;
            preset_->setCurrentIndex(2);
            Update();
        });
    }
    columns->addStretch();
    outer->addLayout(columns);

    preview_ = new QTableWidget(this);
    preview_->setObjectName("PreviewGrid");
    preview_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    preview_->setColumnCount(static_cast<int>(request.titles.size()));
    QStringList headers;
    for (const std::string& title : request.titles) headers << ToQString(title);
    preview_->setHorizontalHeaderLabels(headers);
    preview_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    outer->addWidget(preview_, 1);

    status_ = new QLabel(this);
    status_->setObjectName("StatusLabel");
    status_->setWordWrap(true);
    outer->addWidget(status_);
    warning_area_ = new QVBoxLayout;
    outer->addLayout(warning_area_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QString::fromUtf8("导入"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QString::fromUtf8("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    outer->addWidget(buttons);

    SetMapping(request.mapping);
    preset_->setCurrentIndex(request.mapping == ForRequest(CassMapping(), request)                  ? 1
                             : request.mapping == ForRequest(ProgramMapping(table_roles_), request) ? 0
                                                                                                     : 2);
    connect(preset_, &QComboBox::activated, this, [this](int index) { PresetChosen(index); });
    for (QComboBox* box : {separator_, angles_})
        connect(box, &QComboBox::currentIndexChanged, this, [this] {
            if (!updating_) Update();
        });
    connect(skip_, &QSpinBox::valueChanged, this, [this] {
        if (!updating_) Update();
    });
    Update();
}

void ImportMappingDialog::PresetChosen(int index) {
    if (index == 0) SetMapping(ForRequest(ProgramMapping(table_roles_), request_));
    if (index == 1) SetMapping(ForRequest(CassMapping(), request_));
}

void ImportMappingDialog::SetMapping(const ColumnMapping& mapping) {
    updating_ = true;
    separator_->setCurrentIndex(IndexOf(kSeparators, mapping.separator));
    skip_->setValue(mapping.skip_lines);
    angles_->setCurrentIndex(IndexOf(kAngleForms, mapping.angles));
    for (std::size_t i = 0; i < roles_.size(); ++i) {
        const QString role = i < mapping.columns.size() ? ToQString(mapping.columns[i]) : QString("-");
        const int index = roles_[i]->findData(role);
        roles_[i]->setCurrentIndex(index < 0 ? 0 : index);
    }
    updating_ = false;
    Update();
}

ImportMappingChoice ImportMappingDialog::Choice() const {
    ImportMappingChoice choice;
    choice.mapping.separator = kSeparators[std::max(0, separator_->currentIndex())];
    choice.mapping.skip_lines = skip_->value();
    choice.mapping.angles = kAngleForms[std::max(0, angles_->currentIndex())];
    for (QComboBox* box : roles_) choice.mapping.columns.push_back(ToStdString(box->currentData().toString()));
    // Trailing columns left out are no columns.
    while (!choice.mapping.columns.empty() && choice.mapping.columns.back() == "-") choice.mapping.columns.pop_back();
    choice.fixes = ticked_;
    return choice;
}

void ImportMappingDialog::Update() {
    const ImportMappingChoice choice = Choice();
    // Show as many role boxes as the file has columns (at least the table's).
    int file_columns = static_cast<int>(std::max(choice.mapping.columns.size(), table_roles_.size()));
    for (std::size_t i = static_cast<std::size_t>(choice.mapping.skip_lines); i < request_.lines.size(); ++i)
        file_columns = std::max(file_columns,
                                static_cast<int>(SplitAtSeparator(request_.lines[i], choice.mapping.separator).size()));
    file_columns = std::min(file_columns, kMaxFileColumns);
    for (int i = 0; i < kMaxFileColumns; ++i) roles_[static_cast<std::size_t>(i)]->setVisible(i < file_columns);

    std::vector<std::vector<std::string>> rows;
    status_->clear();
    try {
        rows = MapLines(request_.lines, choice.mapping, table_roles_, request_.missing, kPreviewRows);
        const std::vector<std::string> unmapped = UnmappedRoles(choice.mapping, table_roles_);
        if (!unmapped.empty())
            status_->setText(QString::fromUtf8("未指定的列: ") + ToQString(RoleListText(unmapped)) +
                             QString::fromUtf8(" (读作") + (request_.missing.empty() ? QString::fromUtf8("空") : "0") +
                             ")");
    } catch (const CommandError& error) {
        status_->setText(QString::fromUtf8("无法读取: ") + ToQString(error.what()));
    }
    warnings_ = CheckPointRows(rows, table_roles_, request_.settings);
    std::vector<std::vector<std::string>> shown = rows;
    for (const PointFix fix : ticked_)
        for (const PlausibilityWarning& w : CheckPointRows(shown, table_roles_, request_.settings))
            if (w.fix == fix) ApplyPointFix(w, table_roles_, request_.settings, shown);

    preview_->setRowCount(static_cast<int>(shown.size()));
    for (std::size_t r = 0; r < shown.size(); ++r) {
        QString tip;
        for (const PlausibilityWarning& w : warnings_)
            if (std::find(w.rows.begin(), w.rows.end(), static_cast<int>(r) + 1) != w.rows.end())
                tip += (tip.isEmpty() ? "" : "\n") + ToQString(w.text);
        for (std::size_t c = 0; c < shown[r].size(); ++c) {
            auto* item = new QTableWidgetItem(ToQString(shown[r][c]));
            if (!tip.isEmpty()) {
                item->setBackground(kWarnedRow);
                item->setToolTip(tip);
            }
            preview_->setItem(static_cast<int>(r), static_cast<int>(c), item);
        }
    }

    // The warnings, each with its fix.
    while (QLayoutItem* item = warning_area_->takeAt(0)) {
        if (QWidget* widget = item->widget()) {
            widget->hide();
            widget->deleteLater();
        }
        delete item;
    }
    fix_boxes_.clear();
    int n = 0;
    for (const PlausibilityWarning& w : warnings_) {
        ++n;
        if (w.fix == PointFix::None) {
            auto* label = new QLabel(ToQString(w.text), this);
            label->setObjectName(QString("Warning%1").arg(n));
            label->setWordWrap(true);
            warning_area_->addWidget(label);
        } else if (w.fix == PointFix::ReadAsDecimalDegrees) {
            auto* button = new QPushButton(ToQString(w.text), this);
            button->setObjectName(QString("FixButton%1").arg(n));
            connect(button, &QPushButton::clicked, this, [this] {
                angles_->setCurrentIndex(IndexOf(kAngleForms, AngleForm::DecimalDegrees));
            });
            warning_area_->addWidget(button);
        } else {
            auto* box = new QCheckBox(ToQString(w.text), this);
            box->setObjectName(QString("FixBox%1").arg(n));
            const PointFix fix = w.fix;
            box->setChecked(std::find(ticked_.begin(), ticked_.end(), fix) != ticked_.end());
            connect(box, &QCheckBox::toggled, this, [this, fix](bool on) {
                ticked_.erase(std::remove(ticked_.begin(), ticked_.end(), fix), ticked_.end());
                if (on) ticked_.push_back(fix);
                QMetaObject::invokeMethod(this, [this] { Update(); }, Qt::QueuedConnection);
            });
            warning_area_->addWidget(box);
            fix_boxes_.push_back(box);
        }
    }
    // A ticked fix whose rows are all mended stays ticked for the whole file.
    for (const PointFix fix : ticked_) {
        bool shown_box = false;
        for (const PlausibilityWarning& w : warnings_) shown_box = shown_box || w.fix == fix;
        if (shown_box) continue;
        auto* box = new QCheckBox(ToQString(PointFixCaption(fix)), this);
        box->setObjectName(QString("FixBox%1").arg(++n));
        box->setChecked(true);
        connect(box, &QCheckBox::toggled, this, [this, fix](bool on) {
            if (on) return;
            ticked_.erase(std::remove(ticked_.begin(), ticked_.end(), fix), ticked_.end());
            QMetaObject::invokeMethod(this, [this] { Update(); }, Qt::QueuedConnection);
        });
        warning_area_->addWidget(box);
        fix_boxes_.push_back(box);
    }
}

}  // namespace coordconv
