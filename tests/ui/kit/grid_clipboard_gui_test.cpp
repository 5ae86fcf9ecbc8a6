// The spreadsheet keys of the grids, pressed for real: copy, paste (with the
// texts LibreOffice Calc and WPS put on the clipboard, also into an open cell
// editor), select all, delete, undo; a text file dropped onto a source table;
// FIFOs and devices refused by every open; and the file dialogs' remembered
// folders.
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include "tests/fake_dialogs.h"
#include "tests/test_support.h"
#include "table/settings_file.h"
#include "ui/kit/qt_user_dialogs.h"
#include "ui/windows/gauss_window.h"
#include "ui/windows/plane_four_window.h"
#include "ui/windows/polynomial_window.h"

namespace coordconv {
namespace {

using testing::FakeDialogs;
using testing::ScratchDir;
using testing::WriteBytes;

class GridClipboardTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.show();
        QApplication::clipboard()->clear();
    }
    PointGrid& Source() { return window.Source(); }
    std::string Cell(int col, int row) { return Source().Table().Cell(col, row); }
    void Press(QWidget& grid, int key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
        grid.setFocus();
        QTest::keyClick(&grid, static_cast<Qt::Key>(key), modifiers);
    }
    void Select(PointGrid& grid, int top, int left, int bottom, int right) {
        grid.setCurrentIndex(grid.model()->index(top - 1, left));
        grid.selectionModel()->select(QItemSelection(grid.model()->index(top - 1, left), grid.model()->index(bottom - 1, right)),
                                      QItemSelectionModel::ClearAndSelect);
    }

    FakeDialogs dialogs;
    GaussForwardWindow window{nullptr, dialogs};
};

TEST_F(GridClipboardTest, PasteFromASpreadsheetGrowsTheTableAndUndoTakesItBack) {
    ASSERT_EQ(Source().Table().RowCount(), 2);
    QApplication::clipboard()->setText(QString::fromUtf8("点1\t30.3\t114.3\r\n点2\t31.1523\t115.0005\r\n\"P,3\"\t29.5959\t113.2\r\n"));
    Select(Source(), 1, 0, 1, 0);
    Press(Source(), Qt::Key_V);
    ASSERT_EQ(Source().Table().RowCount(), 4);
    EXPECT_EQ(Source().Table().Cell(1, 0), "纬度B(dms)");  // the title row stays
    EXPECT_EQ(Cell(0, 1), "点1");
    EXPECT_EQ(Cell(2, 2), "115.0005");
    EXPECT_EQ(Cell(0, 3), "P,3");

    // The pasted points convert like typed ones.
    window.Button(6)->click();
    ASSERT_TRUE(dialogs.errors.empty()) << dialogs.errors[0];
    EXPECT_EQ(window.Result().Table().RowCount(), 4);

    Press(Source(), Qt::Key_Z);
    EXPECT_EQ(Source().Table().RowCount(), 2);
    EXPECT_EQ(Cell(0, 1), "");

    // A CSV copy pastes at the current cell, here the second column.
    QApplication::clipboard()->setText("30.3,114.3\n");
    Select(Source(), 1, 1, 1, 1);
    Press(Source(), Qt::Key_V);
    EXPECT_EQ(Cell(1, 1), "30.3");
    EXPECT_EQ(Cell(2, 1), "114.3");
    EXPECT_EQ(Cell(0, 1), "");
}

TEST_F(GridClipboardTest, CopySelectAllDeleteAndTheResultTable) {
    QApplication::clipboard()->setText(QString::fromUtf8("A\t30.3\t114.3\nB\t31\t115\n"));
    Select(Source(), 1, 0, 1, 0);
    Press(Source(), Qt::Key_V);
    Select(Source(), 1, 1, 2, 2);
    Press(Source(), Qt::Key_C);
    EXPECT_EQ(QApplication::clipboard()->text(), "30.3\t114.3\n31\t115\n");
    Press(Source(), Qt::Key_A);
    Press(Source(), Qt::Key_C);
    EXPECT_EQ(QApplication::clipboard()->text(), QString::fromUtf8("A\t30.3\t114.3\nB\t31\t115\n"));

    // Results copy out as they are shown.
    window.Button(6)->click();
    PointGrid& result = window.Result();
    Press(result, Qt::Key_A);
    Press(result, Qt::Key_C);
    const QString copied = QApplication::clipboard()->text();
    EXPECT_TRUE(copied.startsWith(QString::fromStdString("A\t" + result.Table().Cell(1, 1) + "\t"))) << copied.toStdString();
    EXPECT_EQ(copied.count('\n'), 2);

    // Delete empties the selection; Ctrl+Z brings it back.
    Select(Source(), 2, 0, 2, 2);
    Press(Source(), Qt::Key_Delete, Qt::NoModifier);
    EXPECT_EQ(Cell(0, 2), "");
    EXPECT_EQ(Cell(2, 2), "");
    EXPECT_EQ(Cell(0, 1), "A");
    Press(Source(), Qt::Key_Z);
    EXPECT_EQ(Cell(0, 2), "B");

    // " 清空 " can be taken back too.
    window.Button(5)->click();
    EXPECT_EQ(Cell(0, 1), "");
    Press(Source(), Qt::Key_Z);
    EXPECT_EQ(Cell(0, 2), "B");
}

TEST_F(GridClipboardTest, ADroppedFileIsImportedAsFileImportWould) {
    const ScratchDir dir;
    WriteBytes(dir.Path("points.txt"), "P1,30.3,114.3\r\nP2,31.1523,115.0005\r\n");
    const auto drop = [&](const std::string& path) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
        QWidget* target = Source().viewport();
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent event(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    };
    drop(dir.Path("points.txt"));
    ASSERT_EQ(Source().Table().RowCount(), 3);
    EXPECT_EQ(Cell(2, 2), "115.0005");
    EXPECT_TRUE(dialogs.errors.empty());

    // A file that cannot be read: the common error, the table as it was.
    drop(dir.Path("missing.txt"));
    EXPECT_EQ(dialogs.errors.size(), 1u);
    EXPECT_EQ(Source().Table().RowCount(), 3);
    EXPECT_EQ(Cell(0, 1), "P1");

    // A FIFO (nobody writes it) and a node like /dev/zero are refused before
    // they are opened.
    ASSERT_EQ(mkfifo(dir.Path("fifo.txt").c_str(), 0600), 0);
    std::vector<std::string> specials = {dir.Path("fifo.txt")};
    if (mknod(dir.Path("zero.txt").c_str(), S_IFCHR | 0666, makedev(1, 5)) == 0) specials.push_back(dir.Path("zero.txt"));
    for (const std::string& special : specials) {
        dialogs.errors.clear();
        drop(special);
        ASSERT_EQ(dialogs.errors.size(), 1u) << special;
        EXPECT_EQ(dialogs.errors[0], "File access denied");
        EXPECT_EQ(Source().Table().RowCount(), 3);
    }
}

// A click opens the cell editor; Ctrl+V then pastes a spreadsheet block
// into the table, and a single cell into the editor.
TEST_F(GridClipboardTest, CtrlVAfterAClickPastesABlockIntoTheTableAndOneCellIntoTheEditor) {
    QApplication::setActiveWindow(&window);
    const auto click = [&](int row, int col) -> QWidget* {
        const QModelIndex index = Source().model()->index(row - 1, col);
        QTest::mouseClick(Source().viewport(), Qt::LeftButton, Qt::NoModifier, Source().visualRect(index).center());
        return Source().indexWidget(index);
    };
    QWidget* editor = click(1, 1);  // not the current cell: the editor opens at once
    ASSERT_NE(editor, nullptr);
    ASSERT_EQ(QApplication::focusWidget(), editor);
    QApplication::clipboard()->setText("P1\t30.3\t117.1\r\nP2\t31\t118\r\nP3\t32\t119\r\n");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(Source().Table().RowCount(), 4);
    EXPECT_EQ(Cell(0, 1), "");  // pasted from the clicked cell on
    EXPECT_EQ(Cell(1, 1), "P1");
    EXPECT_EQ(Cell(2, 1), "30.3");
    EXPECT_EQ(Cell(1, 3), "P3");
    if (const QWidget* reopened = Source().indexWidget(Source().model()->index(0, 1))) {
        EXPECT_EQ(reopened->property("text").toString(), "P1");  // the current cell's editor, opened anew
    }
    Press(Source(), Qt::Key_Z);
    EXPECT_EQ(Source().Table().RowCount(), 2);

    // One cell (a value copied from a text) goes into the editor, replacing
    // its selected text; Enter commits it.
    Source().Edit([](PointTable& table) { table.Cell(0, 1) = "old"; });
    editor = click(1, 0);
    ASSERT_NE(editor, nullptr);
    QApplication::clipboard()->setText("Q7");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Cell(0, 1), "old");  // not yet committed: still in the editor
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QApplication::processEvents();  // the editor commits on Return through a queued call
    EXPECT_EQ(Cell(0, 1), "Q7");
    EXPECT_EQ(Source().Table().RowCount(), 2);
    EXPECT_TRUE(dialogs.errors.empty());
}

// A cell longer than the import's line limit (4 MB) is refused at once with
// the common error, from the table and from an open editor alike.
TEST_F(GridClipboardTest, AHugeCellIsRefused) {
    QApplication::setActiveWindow(&window);
    QApplication::clipboard()->setText(QString(20 << 20, QChar('7')));
    Select(Source(), 1, 1, 1, 1);
    Press(Source(), Qt::Key_V);
    ASSERT_EQ(dialogs.errors.size(), 1u);
    EXPECT_EQ(dialogs.errors[0], "Cell longer than 4 MB");
    EXPECT_EQ(Cell(1, 1), "");

    const QModelIndex index = Source().model()->index(0, 2);
    QTest::mouseClick(Source().viewport(), Qt::LeftButton, Qt::NoModifier, Source().visualRect(index).center());
    ASSERT_NE(Source().indexWidget(index), nullptr);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(dialogs.errors.size(), 2u);
    EXPECT_EQ(Cell(2, 1), "");
    EXPECT_EQ(Source().Table().RowCount(), 2);
}

// Every file the windows read (points, common points, parameters,
// coefficients) is refused before the open when it is a FIFO or a device.
TEST(OpenDialogs, SpecialFilesAreRefusedBeforeTheOpen) {
    const ScratchDir dir;
    ASSERT_EQ(mkfifo(dir.Path("fifo.txt").c_str(), 0600), 0);
    std::vector<std::string> specials = {dir.Path("fifo.txt")};
    if (mknod(dir.Path("zero.txt").c_str(), S_IFCHR | 0666, makedev(1, 5)) == 0) specials.push_back(dir.Path("zero.txt"));
    FakeDialogs dialogs;
    GaussForwardWindow gauss(nullptr, dialogs);
    PolynomialWindow polynomial(nullptr, dialogs);
    PlaneFourWindow plane_four(nullptr, dialogs);
    const std::vector<QAbstractButton*> opens = {gauss.Button(3), polynomial.Button(10), polynomial.Button(15),
                                                 plane_four.Button(15)};
    for (QAbstractButton* open : opens)
        for (const std::string& special : specials) {
            dialogs.errors.clear();
            dialogs.open_files.push_back(special);
            open->click();
            ASSERT_EQ(dialogs.errors.size(), 1u) << open->objectName().toStdString() << " " << special;
            EXPECT_EQ(dialogs.errors[0], "File access denied");
        }
}

TEST(GridClipboard, TheCoefficientTablePastesIntoItsValueColumn) {
    FakeDialogs dialogs;
    PolynomialWindow window(nullptr, dialogs);
    window.show();
    auto* grid = window.findChild<CoefficientGrid*>("StringGrid4");
    ASSERT_NE(grid, nullptr);
    QApplication::clipboard()->setText("1.5\n-2E-6\n3\n");
    grid->setCurrentIndex(grid->model()->index(0, 1));
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(grid->Table().Value(0), "1.5");
    EXPECT_EQ(grid->Table().Value(1), "-2E-6");
    EXPECT_EQ(grid->Table().Label(0), "a0");  // labels are fixed
    QTest::keyClick(grid, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(grid->Table().Value(0), "");
}

}  // namespace
}  // namespace coordconv

namespace coordconv {
namespace {

// The file dialogs open where the last file of the same window kind was chosen.
TEST(FileDialogs, OpenInTheLastFolderOfTheWindowKind) {
    const ScratchDir dir;
    const std::string settings = dir.Path("Merivox.ini");
    QWidget window;
    window.setObjectName("FormGSZS");
    QtUserDialogs dialogs(&window, settings);
    WriteBytes(dir.Path("a.txt"), "");
    RememberFolder(settings, "FormGSZS", dir.Path("a.txt"));
    QString opened_in;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        opened_in = dialog->directory().absolutePath();
        dialog->selectFile(QString::fromStdString(dir.Path("sub/b.txt")));
        QMetaObject::invokeMethod(dialog, "accept");
    });
    QDir().mkpath(QString::fromStdString(dir.Path("sub")));
    const std::optional<std::string> chosen = dialogs.AskSaveFile(FileDialogSpec{});
    EXPECT_EQ(opened_in.toStdString(), QDir(QString::fromStdString(dir.Path("."))).absolutePath().toStdString());
    ASSERT_TRUE(chosen);
    EXPECT_EQ(RememberedFolder(settings, "FormGSZS"), QFileInfo(QString::fromStdString(*chosen)).absolutePath().toStdString());
    EXPECT_NE(RememberedFolder(settings, "FormGSZS").find("/sub"), std::string::npos);
}

}  // namespace
}  // namespace coordconv
