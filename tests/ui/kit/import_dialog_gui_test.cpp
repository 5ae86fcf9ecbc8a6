// Point files in other layouts in the windows: which imports go through the
// import dialog, what it is asked and what its answer does to the table;
// the dialog itself driven without exec(); CASS .dat and .xlsx saved by
// "数据另存"; spreadsheets imported as text files are.
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QToolBar>
#include <gtest/gtest.h>

#include "convert/spreadsheet.h"
#include "tests/fake_dialogs.h"
#include "tests/test_support.h"
#include "ui/kit/import_mapping_dialog.h"
#include "ui/windows/gauss_window.h"
#include "ui/windows/plane_four_window.h"

namespace coordconv {
namespace {

using testing::FakeDialogs;
using testing::ReadBytes;
using testing::ScratchDir;
using testing::WriteBytes;

std::string Cells(const PointTable& table, int row) {
    std::string text;
    for (int col = 0; col < table.ColCount(); ++col) text += (col ? "," : "") + table.Cell(col, row);
    return text;
}

class ImportDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.show();
        window.findChild<QLineEdit*>("EditLL")->setText("117");
        window.findChild<QLineEdit*>("EditYY")->setText("39500000");
    }
    void Import(const std::string& path) {
        dialogs.open_files.push_back(path);
        window.Button(3)->click();
    }

    ScratchDir dir;
    FakeDialogs dialogs;
    GaussInverseWindow window{nullptr, dialogs};
};

TEST_F(ImportDialogTest, OwnFilesGoStraightInOthersThroughTheDialog) {
    // The tool bar keeps its buttons and gains "导入设置…" after them; the
    // layers' "图形转换" came later still.
    const auto buttons = window.SourceToolBar()->findChildren<QToolButton*>(Qt::FindDirectChildrenOnly);
    ASSERT_GE(buttons.size(), 2);
    QToolButton* const import_settings = buttons[buttons.size() - 2];
    EXPECT_EQ(import_settings->text(), QString::fromUtf8("导入设置…"));
    EXPECT_EQ(buttons.back()->text(), QString::fromUtf8("图形转换"));
    EXPECT_EQ(window.Button(3)->text(), QString::fromUtf8("文件导入"));

    WriteBytes(dir.Path("own.txt"), "P1,3376500.1736,39644006.4942\r\nP2,1\r\n");
    Import(dir.Path("own.txt"));
    EXPECT_TRUE(dialogs.import_requests.empty());
    EXPECT_EQ(Cells(window.Source().Table(), 2), "P2,1,0");

    // A CASS .dat opens the dialog with the CASS preset and the window's boxes.
    WriteBytes(dir.Path("field.dat"), "K1,,39644006.4942,3376500.1736,12.5\r\nK2,,644006.4942,3376500.1736,12.5\r\n");
    dialogs.import_mappings.push_back(ImportMappingChoice{CassMapping(), {}});
    Import(dir.Path("field.dat"));
    ASSERT_EQ(dialogs.import_requests.size(), 1u);
    const ImportMappingRequest& request = dialogs.import_requests[0];
    EXPECT_EQ(request.mapping, CassMapping());
    EXPECT_TRUE(request.mapping_from_file);
    EXPECT_EQ(request.lines.size(), 2u);
    EXPECT_EQ(*request.settings.central_meridian, 117);
    EXPECT_EQ(*request.settings.y_constant, 39500000);
    EXPECT_EQ(request.missing, "0");
    EXPECT_EQ(Cells(window.Source().Table(), 1), "K1,3376500.1736,39644006.4942");
    EXPECT_EQ(Cells(window.Source().Table(), 2), "K2,3376500.1736,644006.4942");  // not changed unasked

    // The chosen fix is applied to the rows the checks name.
    dialogs.import_mappings.push_back(ImportMappingChoice{CassMapping(), {PointFix::AddZoneNumber}});
    Import(dir.Path("field.dat"));
    EXPECT_EQ(Cells(window.Source().Table(), 2), "K2,3376500.1736,39644006.4942");

    // "导入设置…" asks for any file; Cancel leaves the table.
    dialogs.open_files.push_back(dir.Path("own.txt"));
    import_settings->click();
    EXPECT_EQ(dialogs.import_requests.size(), 3u);
    EXPECT_FALSE(dialogs.import_requests.back().mapping_from_file);
    EXPECT_EQ(dialogs.import_requests.back().mapping.columns, (std::vector<std::string>{"name", "x", "y"}));
    EXPECT_EQ(Cells(window.Source().Table(), 2), "K2,3376500.1736,39644006.4942");
    // So does Shift with "文件导入".
    dialogs.open_files.push_back(dir.Path("own.txt"));
    QTest::mouseClick(window.Button(3), Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(dialogs.import_requests.size(), 4u);
    EXPECT_TRUE(dialogs.errors.empty());
    // Shift let go: the application's modifier state follows the next event.
    QTest::mouseClick(window.Source().viewport(), Qt::LeftButton, Qt::NoModifier);
    EXPECT_FALSE(QGuiApplication::keyboardModifiers().testFlag(Qt::ShiftModifier));
}

TEST_F(ImportDialogTest, AHeaderAndBlanksOpenTheDialogAndAFailingLineLeavesTheTable) {
    WriteBytes(dir.Path("station.txt"), "Pt North East\r\nA 3376500.1736 39644006.4942\r\nB 3376500.1736 x\r\n");
    ColumnMapping blanks;
    blanks.separator = FieldSeparator::Blanks;
    blanks.skip_lines = 1;
    blanks.columns = {"name", "x", "y"};
    dialogs.import_mappings.push_back(ImportMappingChoice{blanks, {}});
    Import(dir.Path("station.txt"));
    ASSERT_EQ(dialogs.import_requests.size(), 1u);
    EXPECT_EQ(Cells(window.Source().Table(), 2), "B,3376500.1736,x");  // "x" fails at the convert, as typed text would

    GaussForwardWindow forward(nullptr, dialogs);
    forward.show();
    WriteBytes(dir.Path("angles.txt"), "A 30d30m 118d\r\nB 30d75m 118d\r\n");
    ColumnMapping text = blanks;
    text.skip_lines = 0;
    text.columns = {"name", "B", "L"};
    text.angles = AngleForm::DmsText;
    dialogs.import_mappings.push_back(ImportMappingChoice{text, {}});
    dialogs.open_files.push_back(dir.Path("angles.txt"));
    forward.Button(3)->click();
    ASSERT_EQ(dialogs.errors.size(), 1u);
    EXPECT_EQ(dialogs.errors[0], "'30d75m' is not a valid angle (line 2)");
    EXPECT_EQ(Cells(forward.Source().Table(), 1), ",,");
}

// The dialog without exec(): the preview follows the mapping, marks the
// implausible rows and shows a ticked fix; the choice carries it.
TEST(ImportMappingDialog, PreviewMarksRowsAndOffersTheFix) {
    ImportMappingRequest request;
    request.path = "field.txt";
    request.lines = {"no;E;N", "A;39644006.4942;3376500.1736", "B;3376500.1736;39644006.4942"};
    request.titles = {"点号", "纵坐标x(m)", "横坐标y(m)"};
    request.mapping.columns = {"name", "x", "y"};
    request.settings.central_meridian = 117;
    request.settings.y_constant = 39500000;
    request.missing = "0";
    ImportMappingDialog dialog(request);
    EXPECT_EQ(dialog.Preset()->currentIndex(), 0);
    dialog.Separator()->setCurrentIndex(3);  // 分号
    dialog.SkipLines()->setValue(1);
    dialog.ColumnRole(1)->setCurrentIndex(dialog.ColumnRole(1)->findData("y"));
    dialog.ColumnRole(2)->setCurrentIndex(dialog.ColumnRole(2)->findData("x"));
    EXPECT_EQ(dialog.Preset()->currentIndex(), 2);  // 自定义
    ASSERT_EQ(dialog.Preview()->rowCount(), 2);
    EXPECT_EQ(dialog.Preview()->item(0, 1)->text(), "3376500.1736");
    EXPECT_EQ(dialog.Preview()->item(0, 2)->text(), "39644006.4942");
    // Row B has x and y the other way round.
    ASSERT_EQ(dialog.Warnings().size(), 1u);
    EXPECT_EQ(dialog.Warnings()[0].fix, PointFix::SwapXY);
    EXPECT_EQ(dialog.Preview()->item(1, 1)->background().color(), QColor(255, 220, 200));
    EXPECT_EQ(dialog.Preview()->item(0, 1)->background().style(), Qt::NoBrush);
    ASSERT_EQ(dialog.FixBoxes().size(), 1u);
    EXPECT_TRUE(dialog.Choice().fixes.empty());
    dialog.FixBoxes()[0]->setChecked(true);
    QApplication::processEvents();
    EXPECT_EQ(dialog.Preview()->item(1, 1)->text(), "3376500.1736");
    const ImportMappingChoice choice = dialog.Choice();
    EXPECT_EQ(choice.fixes, (std::vector<PointFix>{PointFix::SwapXY}));
    EXPECT_EQ(choice.mapping.separator, FieldSeparator::Semicolon);
    EXPECT_EQ(choice.mapping.columns, (std::vector<std::string>{"name", "y", "x"}));

    // The CASS preset sets its columns (this table has no heights to read).
    dialog.Preset()->setCurrentIndex(1);
    emit dialog.Preset()->activated(1);
    EXPECT_EQ(dialog.Choice().mapping.columns, (std::vector<std::string>{"name", "-", "y", "x"}));
    EXPECT_EQ(dialog.Choice().mapping.separator, FieldSeparator::Comma);
}

// A common-point file with a header and blanks goes through the dialog with
// the common-point table's columns; every point read is adopted.
TEST(CommonPointImport, AForeignFileThroughTheDialog) {
    const ScratchDir dir;
    FakeDialogs dialogs;
    PlaneFourWindow window(nullptr, dialogs);
    window.show();
    WriteBytes(dir.Path("common.txt"), "no y x H y2 x2 H2\r\nA 0 0 1 20 10 3\r\nB 0 100 2 20 110 4\r\n");
    ColumnMapping mapping;
    mapping.separator = FieldSeparator::Blanks;
    mapping.skip_lines = 1;
    mapping.columns = {"name", "y", "x", "H", "y2", "x2", "H2"};
    dialogs.import_mappings.push_back(ImportMappingChoice{mapping, {}});
    dialogs.open_files.push_back(dir.Path("common.txt"));
    window.findChild<QToolButton*>("ToolButton10")->click();
    ASSERT_EQ(dialogs.import_requests.size(), 1u);
    EXPECT_EQ(dialogs.import_requests[0].titles.size(), 13u);
    EXPECT_TRUE(dialogs.errors.empty());
    const PointTable& table = window.CommonPoints().Table();
    ASSERT_EQ(table.RowCount(), 3);
    EXPECT_EQ(Cells(table, 2), "B,100,0,2,110,20,4,,,,,,Yes");
}

TEST(CassSave, ADatNameWritesTheCassLayout) {
    const ScratchDir dir;
    FakeDialogs dialogs;
    GaussForwardWindow window(nullptr, dialogs);
    window.show();
    window.findChild<QLineEdit*>("EditLL")->setText("117");
    window.Source().model()->setData(window.Source().model()->index(0, 0), "P1");
    window.Source().model()->setData(window.Source().model()->index(0, 1), "30.3");
    window.Source().model()->setData(window.Source().model()->index(0, 2), "118.3");
    window.Button(6)->click();
    dialogs.save_files.push_back(dir.Path("out.dat"));
    window.Button(7)->click();
    EXPECT_EQ(ReadBytes(dir.Path("out.dat")), "P1,,644006.4942,3376500.1736,\r\n");
    dialogs.save_files.push_back(dir.Path("out.txt"));
    window.Button(7)->click();
    EXPECT_EQ(ReadBytes(dir.Path("out.txt")), "P1,3376500.1736,644006.4942\r\n");
}

TEST_F(ImportDialogTest, SpreadsheetsGoTheTextFilesWay) {
    // Sheets made by the program's own writer: the header row is the titles.
    PointTable own({"点号", "纵坐标x(m)", "横坐标y(m)"});
    own.AssignDataRows({"P1", "3376500.1736", "39644006.4942", "张三", "3376600.123456789", "39644106.25"}, 2);
    SaveSpreadsheet(dir.Path("own.xlsx"), own, 3);
    PointTable coded({"点名", "编码", "东坐标", "北坐标"});
    coded.AssignDataRows({"K1", "JD", "39644006.4942", "3376500.1736"}, 1);
    SaveSpreadsheet(dir.Path("coded.xlsx"), coded, 4);

    // The program's columns go straight in, the header row left out.
    Import(dir.Path("own.xlsx"));
    EXPECT_TRUE(dialogs.import_requests.empty());
    EXPECT_TRUE(dialogs.errors.empty());
    EXPECT_EQ(Cells(window.Source().Table(), 1), "P1,3376500.1736,39644006.4942");
    EXPECT_EQ(Cells(window.Source().Table(), 2), "张三,3376600.123456789,39644106.25");
    // The open dialog keeps its text filter first and offers spreadsheets.
    EXPECT_EQ(dialogs.file_dialogs.back().filter_name, "Text files (*.txt)");
    EXPECT_EQ(dialogs.file_dialogs.back().more_filters, (std::vector<std::string>{"Spreadsheets (*.xlsx *.ods)"}));

    // Other columns open the import dialog on the cells, the header skipped.
    ColumnMapping mapping;
    mapping.separator = FieldSeparator::Tab;
    mapping.skip_lines = 1;
    mapping.columns = {"name", "-", "y", "x"};
    dialogs.import_mappings.push_back(ImportMappingChoice{mapping, {}});
    Import(dir.Path("coded.xlsx"));
    ASSERT_EQ(dialogs.import_requests.size(), 1u);
    const ImportMappingRequest& request = dialogs.import_requests[0];
    EXPECT_TRUE(request.spreadsheet);
    EXPECT_EQ(request.mapping.separator, FieldSeparator::Tab);
    EXPECT_EQ(request.mapping.skip_lines, 1);
    EXPECT_EQ(request.lines, (std::vector<std::string>{"点名\t编码\t东坐标\t北坐标", "K1\tJD\t39644006.4942\t3376500.1736"}));
    EXPECT_EQ(Cells(window.Source().Table(), 1), "K1,3376500.1736,39644006.4942");
    EXPECT_EQ(window.Source().Table().RowCount(), 2);
    // The dialog on that request: the presets keep the cells and the header.
    ImportMappingDialog dialog(request);
    EXPECT_EQ(dialog.Preset()->currentIndex(), 0);
    ASSERT_EQ(dialog.Preview()->rowCount(), 1);
    EXPECT_EQ(dialog.Preview()->item(0, 0)->text(), "K1");
    dialog.Preset()->setCurrentIndex(1);
    emit dialog.Preset()->activated(1);  // CASS: name, code, y, x
    EXPECT_EQ(dialog.Choice().mapping.separator, FieldSeparator::Tab);
    EXPECT_EQ(dialog.Choice().mapping.skip_lines, 1);
    EXPECT_EQ(dialog.Preview()->item(0, 1)->text(), "3376500.1736");

    // "数据另存" to a name ending in .xlsx writes the result table as a sheet.
    window.Button(6)->click();
    dialogs.save_files.push_back(dir.Path("result.xlsx"));
    window.Button(7)->click();
    EXPECT_TRUE(dialogs.errors.empty());
    EXPECT_EQ(dialogs.file_dialogs.back().more_filters, (std::vector<std::string>{"Excel (*.xlsx)"}));
    const CellRows saved = ReadSpreadsheetRows(dir.Path("result.xlsx"));
    const PointTable& result = window.Result().Table();
    ASSERT_EQ(saved.size(), 2u);
    for (int row = 0; row < 2; ++row)
        EXPECT_EQ(saved[static_cast<std::size_t>(row)], std::vector<std::string>(result.Row(row), result.Row(row) + 3));
}

}  // namespace
}  // namespace coordconv
