// The typed grid, driven as a user drives it: clicks on cells and headers,
// keys into the in-place editor, with the platform answering for the user.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include "controls/specialgrid.h"
#include "recording_platform.h"

namespace tessarin {
namespace {

using testing::RecordingPlatform;

// Types text into a widget one character at a time, each as its own key
// press (QTest's keyClicks knows only Latin-1).
void type(QWidget *widget, const QString &text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
    }
}

class GridTest : public ::testing::Test {
  protected:
    RecordingPlatform platform;
    TSpecialGrid grid;

    // Columns: string, integer, real, boolean, picture; all editable.
    void SetUp() override {
        grid.Cols().Clear();
        grid.Cols().Add("Название", ckString, true);
        grid.Cols().Add("Целое", ckInteger, true);
        grid.Cols().Add("Значение", ckReal, true);
        grid.Cols().Add("Выбран", ckBoolean, true);
        grid.Cols().Add("", ckPicture, true);
        grid.resize(700, 300);
        grid.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    }

    QPoint cellCentre(int column, int row) {
        return grid.visualRect(grid.model()->index(row, column)).center();
    }
    void click(int column, int row) {
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cellCentre(column, row));
    }
    QLineEdit *editorAt(int column, int row) {
        return qobject_cast<QLineEdit *>(grid.indexWidget(grid.model()->index(row, column)));
    }
    QRect headerSection(int column) {
        QHeaderView *header = grid.horizontalHeader();
        return QRect(header->sectionViewportPosition(column), 0, header->sectionSize(column),
                     header->height());
    }
    void clickHeader(int column, QPoint at = {}) {
        QRect section = headerSection(column);
        QTest::mouseClick(grid.horizontalHeader()->viewport(), Qt::LeftButton, {},
                          at.isNull() ? section.center() : section.topLeft() + at);
    }
    QStringList column(int c) {
        QStringList texts;
        for (int r = 0; r < grid.RowCount(); ++r) texts << grid.CellText(c, r);
        return texts;
    }
};

TEST_F(GridTest, NewRowsStartWithTheirKindsTexts) {
    grid.setCellText(0, 0, "старое");
    grid.setRowCount(0);
    EXPECT_EQ(grid.RowCount(), 0);
    EXPECT_EQ(grid.model()->rowCount(), 0);
    EXPECT_EQ(grid.CurrentRow(), -1);

    grid.setRowCount(2);
    const QStringList expected = {"", "0", "0", "нет", ""};
    for (int r = 0; r < 2; ++r) {
        EXPECT_TRUE(grid.RowEdited(r));
        for (int c = 0; c < 5; ++c) {
            EXPECT_EQ(grid.CellText(c, r), expected[c]) << c << "," << r;
            EXPECT_EQ(grid.CellData(c, r), nullptr);
        }
        EXPECT_EQ(grid.CellImage(4, r), 0);
    }
    EXPECT_EQ(grid.CurrentRow(), 0);

    // Shrinking drops rows from the end; growing again starts them afresh.
    grid.setCellText(0, 0, "первая");
    grid.setCellText(0, 1, "вторая");
    grid.setRowEdited(1, false);
    grid.setRowCount(1);
    grid.setRowCount(2);
    EXPECT_EQ(column(0), QStringList({"первая", ""}));
    EXPECT_TRUE(grid.RowEdited(1));
}

TEST_F(GridTest, ColumnsAddedLaterFillEveryExistingRow) {
    grid.setRowCount(3);
    const struct {
        TColKind kind;
        QString text;
    } cases[] = {{ckString, ""}, {ckInteger, "0"}, {ckReal, "0"}, {ckBoolean, "нет"}, {ckPicture, ""}};
    for (const auto &c : cases) {
        TColCollectionItem &item = grid.Cols().Add("Новая", c.kind);
        const int at = item.Index();
        EXPECT_EQ(grid.model()->columnCount(), grid.Cols().Count());
        EXPECT_EQ(column(at), QStringList(3, c.text)) << int(c.kind);
    }
    // Removing a column takes its own cells, not the last column's.
    grid.setCellText(0, 0, "имя");
    grid.setCellText(2, 0, "1.5");
    grid.Cols().Delete(1);
    EXPECT_EQ(grid.Cols().Items(1).Caption(), "Значение");
    EXPECT_EQ(grid.CellText(0, 0), "имя");
    EXPECT_EQ(grid.CellText(1, 0), "1.5");
}

TEST_F(GridTest, ColumnItemsTellTheGridAndCopyEveryField) {
    QSignalSpy header(grid.model(), &QAbstractItemModel::headerDataChanged);
    grid.Cols().Items(0).setCaption("Имя");
    EXPECT_EQ(header.count(), 1);
    EXPECT_EQ(grid.model()->headerData(0, Qt::Horizontal).toString(), "Имя");
    grid.Cols().Items(0).setCaption("Имя");  // no change, no notice
    EXPECT_EQ(header.count(), 1);

    grid.Cols().Items(2).setSortOrder(soDescending);
    grid.Cols().Items(0).Assign(grid.Cols().Items(2));
    const TColCollectionItem &copy = grid.Cols().Items(0);
    EXPECT_EQ(copy.Caption(), "Значение");
    EXPECT_EQ(copy.Kind(), ckReal);
    EXPECT_TRUE(copy.Edited());
    EXPECT_EQ(copy.SortOrder(), soDescending);
    EXPECT_EQ(grid.Cols().Owner(), &grid);
}

// Keys typed into the in-place editor; each change is handed over at once.
struct EditCase {
    int column;
    QString typed;
    QString stored;
    int errors;  // "Неверный формат числа!" shown
};

TEST_F(GridTest, TypedTextIsCheckedByTheColumnsKind) {
    const EditCase cases[] = {
        {0, "Масса", "Масса", 0}, {0, "a中b", "ab", 0},                       // refused as typed
        {1, "2.0", "2", 0},       {1, "1e3", "1000", 0}, {1, "-7", "-7", 1},  // the lone sign on the way is
                                                                              // refused
        {1, "2.5", "2", 1},                                                   // "2" and "2." were whole
        {2, "1,5е", "1.5", 0},    {2, "-", "7", 1},      {2, "2e-", "2", 0}, {2, "0,00123", "0.00123", 0},
    };
    grid.setRowCount(2);
    for (const EditCase &c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        platform.messages.clear();
        grid.setCellText(c.column, 0, "7");
        click(c.column, 0);
        QLineEdit *editor = editorAt(c.column, 0);
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->text(), "7");  // the editor starts with the cell's text
        editor->selectAll();
        QSignalSpy handed(&grid, &TSpecialGrid::OnSetEditText);
        type(editor, c.typed);

        EXPECT_EQ(grid.CellText(c.column, 0), c.stored);
        ASSERT_EQ(static_cast<int>(platform.messages.size()), c.errors);
        for (const testing::Shown &shown : platform.messages) {
            EXPECT_EQ(shown.kind, MessageKind::Error);
            EXPECT_EQ(shown.text, "Неверный формат числа!");
        }
        // Raised for every hand-over, refused or not, with the text as typed.
        ASSERT_GT(handed.count(), 0);
        EXPECT_EQ(handed.last().at(0).toInt(), c.column);
        EXPECT_EQ(handed.last().at(1).toInt(), 0);
        EXPECT_EQ(handed.last().at(2).toString(), editor->text());
        click(4, 1);  // leave the cell
    }
}

TEST_F(GridTest, OnlyEditableCellsOfTypedKindsOpenAnEditor) {
    grid.setRowCount(2);
    grid.Cols().Items(1).setEdited(false);
    grid.setRowEdited(1, false);
    const struct {
        int column, row;
        bool opens;
    } cases[] = {{0, 0, true},  {2, 0, true},  {1, 0, false}, {3, 0, false},
                 {4, 0, false}, {0, 1, false}, {2, 1, false}};
    for (const auto &c : cases) {
        click(c.column, c.row);
        EXPECT_EQ(editorAt(c.column, c.row) != nullptr, c.opens) << c.column << "," << c.row;
        EXPECT_EQ(grid.model()->flags(grid.model()->index(c.row, c.column)).testFlag(Qt::ItemIsEditable),
                  c.opens);
    }
    // Typing onto a cell that may not be edited changes nothing.
    grid.setCurrentRow(1);
    grid.setCurrentColumn(0);
    QTest::keyClicks(&grid, "x");
    EXPECT_EQ(grid.CellText(0, 1), "");
}

TEST_F(GridTest, SecondClickOnABooleanCellTogglesIt) {
    grid.setRowCount(2);
    grid.setRowEdited(1, false);
    click(3, 0);
    EXPECT_EQ(grid.CellText(3, 0), "нет");  // the first click only selects
    click(3, 0);
    EXPECT_EQ(grid.CellText(3, 0), "да");
    click(3, 0);
    EXPECT_EQ(grid.CellText(3, 0), "нет");
    grid.setCellText(3, 0, "что-то");
    click(3, 0);
    EXPECT_EQ(grid.CellText(3, 0), "да");
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, cellCentre(3, 0));
    EXPECT_EQ(grid.CellText(3, 0), "да");  // two presses, two toggles

    for (int i = 0; i < 3; ++i) click(3, 1);  // row not editable
    grid.Cols().Items(3).setEdited(false);
    for (int i = 0; i < 3; ++i) click(3, 0);  // column not editable
    EXPECT_EQ(grid.CellText(3, 1), "нет");
    EXPECT_EQ(grid.CellText(3, 0), "да");
}

TEST_F(GridTest, ClicksAndKeysReportTheCurrentRow) {
    grid.setRowCount(3);
    QSignalSpy clicks(&grid, &TSpecialGrid::OnClick);
    QSignalSpy doubles(&grid, &TSpecialGrid::OnDblClick);
    click(4, 2);
    EXPECT_EQ(grid.CurrentRow(), 2);
    EXPECT_EQ(grid.CurrentColumn(), 4);
    EXPECT_EQ(clicks.count(), 1);
    QTest::keyClick(&grid, Qt::Key_Up);
    EXPECT_EQ(grid.CurrentRow(), 1);
    EXPECT_EQ(clicks.count(), 2);
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, cellCentre(4, 0));
    EXPECT_EQ(doubles.count(), 1);
    EXPECT_EQ(grid.CurrentRow(), 0);

    grid.setCurrentRow(2);
    EXPECT_EQ(grid.CurrentRow(), 2);
    grid.setCurrentRow(7);  // not a row: ignored
    grid.setCurrentRow(-1);
    EXPECT_EQ(grid.CurrentRow(), 2);
    grid.setRowCount(1);  // the current row follows the table
    EXPECT_EQ(grid.CurrentRow(), 0);
}

TEST_F(GridTest, HeaderClicksSortAscendingThenDescending) {
    int objects[4];
    const QStringList values = {"10", "9", "-1,5", "2e1"};
    grid.setRowCount(4);
    for (int r = 0; r < 4; ++r) {
        grid.setCellText(0, r, QString::number(r));
        grid.setCellText(2, r, values[r]);
        grid.setCellData(0, r, &objects[r]);
        grid.setCellImage(4, r, 3 - r);
    }
    grid.setRowEdited(0, false);

    clickHeader(2);
    EXPECT_EQ(column(2), QStringList({"-1,5", "9", "10", "2e1"}));
    EXPECT_EQ(grid.Cols().Items(2).SortOrder(), soAscending);
    // Whole rows moved: text, image, data and edit flag together.
    EXPECT_EQ(column(0), QStringList({"2", "1", "0", "3"}));
    EXPECT_EQ(grid.CellData(0, 2), &objects[0]);
    EXPECT_EQ(grid.CellImage(4, 2), 3);
    EXPECT_FALSE(grid.RowEdited(2));
    EXPECT_TRUE(grid.RowEdited(0));

    clickHeader(2);
    EXPECT_EQ(column(2), QStringList({"2e1", "10", "9", "-1,5"}));
    EXPECT_EQ(grid.Cols().Items(2).SortOrder(), soDescending);

    clickHeader(0);  // another column: the first indicator goes
    EXPECT_EQ(grid.Cols().Items(0).SortOrder(), soAscending);
    EXPECT_EQ(grid.Cols().Items(2).SortOrder(), soNone);
    EXPECT_EQ(column(0), QStringList({"0", "1", "2", "3"}));

    // Not on a picture column, nor near a header's edges.
    const QStringList before = column(0);
    clickHeader(4);
    clickHeader(1, QPoint(2, headerSection(1).height() / 2));
    clickHeader(1, QPoint(headerSection(1).width() / 2, 1));
    EXPECT_EQ(grid.Cols().Items(4).SortOrder(), soNone);
    EXPECT_EQ(grid.Cols().Items(1).SortOrder(), soNone);
    EXPECT_EQ(column(0), before);

    // One data row: a header click changes nothing.
    grid.setRowCount(1);
    clickHeader(1);
    EXPECT_EQ(grid.Cols().Items(1).SortOrder(), soNone);
    EXPECT_EQ(grid.Cols().Items(0).SortOrder(), soAscending);
}

TEST_F(GridTest, SortingClosesTheEditor) {
    grid.setRowCount(2);
    grid.setCellText(0, 0, "б");
    grid.setCellText(0, 1, "а");
    click(0, 0);
    ASSERT_NE(editorAt(0, 0), nullptr);
    grid.Sort(0, true);
    QApplication::processEvents();
    EXPECT_EQ(editorAt(0, 0), nullptr);
    EXPECT_EQ(column(0), QStringList({"а", "б"}));
}

// The indicator: where its three sides are drawn and in which colours.
TEST_F(GridTest, SortIndicatorIsDrawnInTheHeadersCorner) {
    QPalette palette = grid.palette();
    const QColor window(250, 250, 240), shadow(0, 128, 0), inactive(0, 0, 200);
    palette.setColor(QPalette::Base, window);
    palette.setColor(QPalette::Shadow, shadow);
    palette.setColor(QPalette::Inactive, QPalette::Highlight, inactive);
    grid.setPalette(palette);
    grid.setRowCount(2);

    auto near = [](const QImage &image, int x, int y, const QColor &colour) {
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                if (image.pixelColor(x + dx, y + dy) == colour) return true;
        return false;
    };
    struct Side {
        double fx1, fy1, fx2, fy2;  // from the corner (R, T) and (R, B)
        QColor colour;
    };
    for (bool ascending : {true, false}) {
        SCOPED_TRACE(ascending ? "ascending" : "descending");
        grid.Sort(1, ascending);
        QImage image = grid.horizontalHeader()->grab().toImage();
        const QRect s = headerSection(1);
        const int t = s.y(), r = s.x() + s.width(), b = s.y() + s.height();
        // Sample each side half-way along it.
        const std::vector<std::tuple<int, int, QColor>> samples =
            ascending ? std::vector<std::tuple<int, int, QColor>>{{r - 7, b - 3, window},
                                                                  {r - 9, (b - 3 + t + 3) / 2, shadow},
                                                                  {r - 5, (b - 3 + t + 3) / 2, inactive}}
                      : std::vector<std::tuple<int, int, QColor>>{{r - 7, t + 3, shadow},
                                                                  {r - 9, (t + 3 + b - 3) / 2, inactive},
                                                                  {r - 5, (t + 3 + b - 3) / 2, window}};
        for (const auto &[x, y, colour] : samples)
            EXPECT_TRUE(near(image, x, y, colour)) << x << "," << y << " " << colour.name().toStdString();
        // The other columns carry none.
        const QRect other = headerSection(0);
        const int ro = other.x() + other.width();
        EXPECT_FALSE(near(image, ro - 9, (t + b) / 2, shadow));
        EXPECT_FALSE(near(image, ro - 5, (t + b) / 2, inactive));
    }
}

TEST_F(GridTest, PictureCellsHoldAnImageOtherCellsRefuseOne) {
    const struct {
        int column, index;
        int image;
        QString text;
    } cases[] = {{4, 2, 2, "2"}, {4, 0, 0, "0"}, {0, 5, -1, "-1"}, {1, 5, -1, "-1"}, {3, 1, -1, "-1"}};
    for (const auto &c : cases) {
        grid.setCellImage(c.column, 0, c.index);
        EXPECT_EQ(grid.CellImage(c.column, 0), c.image) << c.column;
        EXPECT_EQ(grid.CellText(c.column, 0), c.text) << c.column;
    }
}

TEST_F(GridTest, PictureCellsDrawTheirImageCentred) {
    TImageList images(QSize(8, 8));
    QPixmap red(8, 8), blue(8, 8);
    red.fill(Qt::red);
    blue.fill(Qt::blue);
    images.Add(red);
    images.Add(blue);
    grid.setCellImage(4, 0, 1);

    const QRect cell = grid.visualRect(grid.model()->index(0, 4));
    const int x = (cell.x() + cell.x() + cell.width()) / 2 - 4, y = cell.y() + 1;
    QImage without = grid.viewport()->grab().toImage();
    EXPECT_NE(without.pixelColor(x + 4, y + 4), QColor(Qt::blue));  // no image list: nothing drawn
    grid.setImageList(&images);
    QImage with = grid.viewport()->grab().toImage();
    EXPECT_EQ(with.pixelColor(x, y), QColor(Qt::blue));
    EXPECT_EQ(with.pixelColor(x + 7, y + 7), QColor(Qt::blue));
    EXPECT_NE(with.pixelColor(x - 1, y + 4), QColor(Qt::blue));
    EXPECT_NE(with.pixelColor(x + 8, y + 4), QColor(Qt::blue));
}

TEST_F(GridTest, DeletingARowMovesTheRestUp) {
    int a, b, c;
    grid.setRowCount(3);
    void *data[] = {&a, &b, &c};
    for (int r = 0; r < 3; ++r) {
        grid.setCellText(0, r, QString("r%1").arg(r));
        grid.setCellData(0, r, data[r]);
    }
    grid.setRowEdited(2, false);

    grid.DeleteRow(0);
    EXPECT_EQ(column(0), QStringList({"r1", "r2"}));
    EXPECT_EQ(grid.CellData(0, 0), &b);
    EXPECT_EQ(grid.CellData(0, 1), &c);
    EXPECT_FALSE(grid.RowEdited(1));

    grid.DeleteRow(1);  // the last row: only shrinks
    EXPECT_EQ(column(0), QStringList({"r1"}));
    grid.DeleteRow(5);
    grid.DeleteRow(-1);
    EXPECT_EQ(grid.RowCount(), 1);
}

TEST_F(GridTest, FindRowIsExactAndFindsTheFirst) {
    grid.setRowCount(4);
    const QStringList texts = {"Сила", "Масса", "Сила", "масса"};
    for (int r = 0; r < 4; ++r) grid.setCellText(0, r, texts[r]);
    EXPECT_EQ(grid.FindRow(0, "Сила"), 0);
    EXPECT_EQ(grid.FindRow(0, "масса"), 3);
    EXPECT_EQ(grid.FindRow(0, "Сил"), -1);
    EXPECT_EQ(grid.FindRow(0, "Время"), -1);
    EXPECT_EQ(grid.FindRow(9, "Сила"), -1);
}

TEST_F(GridTest, CellsOutsideTheTableAreHarmless) {
    int x;
    grid.setCellText(9, 0, "x");
    grid.setCellText(0, 9, "x");
    grid.setCellData(-1, 0, &x);
    grid.setCellImage(0, -1, 3);
    grid.setRowEdited(5, false);
    grid.CopyRow(0, 5);
    grid.SetEditText(7, 7, "1");
    EXPECT_EQ(grid.CellText(9, 0), "");
    EXPECT_EQ(grid.CellData(-1, 0), nullptr);
    EXPECT_EQ(grid.CellImage(0, -1), -1);
    EXPECT_FALSE(grid.RowEdited(5));
    EXPECT_EQ(grid.CellText(0, 0), "");
}

// Key order per kind, without a screen.
TEST(GridTableSort, ComparesByTheColumnsKind) {
    const struct {
        TColKind kind;
        QStringList texts, ascending;
    } cases[] = {
        // Byte codes of Windows-1251: Latin capitals, then small, then
        // Cyrillic capitals, then small; a prefix first.
        {ckString, {"а", "Б", "a", "B", "ab", "", "Ё"}, {"", "B", "a", "ab", "Ё", "Б", "а"}},
        {ckInteger, {"10", "9", "-3", "", "x"}, {"-3", "", "x", "9", "10"}},
        {ckPicture, {"2", "", "1"}, {"", "1", "2"}},
        {ckReal, {"10", "9", "1,5", "-2e1", "мусор"}, {"-2e1", "мусор", "1,5", "9", "10"}},
        {ckBoolean, {"да", "нет", "x", "да"}, {"нет", "x", "да", "да"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(int(c.kind));
        GridTable table;
        table.insertColumn(0, c.kind);
        table.setRowCount(static_cast<int>(c.texts.size()));
        for (int r = 0; r < table.rowCount(); ++r) table.cell(0, r).Text = c.texts[r];
        table.sort(0, true);
        QStringList sorted;
        for (int r = 0; r < table.rowCount(); ++r) sorted << table.cell(0, r).Text;
        EXPECT_EQ(sorted, c.ascending);
        table.sort(0, false);
        QStringList descending;
        for (int r = table.rowCount() - 1; r >= 0; --r) descending << table.cell(0, r).Text;
        // Equal keys may come in either order; compare the keys' sequence.
        for (int i = 0; i + 1 < table.rowCount(); ++i) EXPECT_FALSE(table.keyLess(0, i, i + 1)) << i;
    }
}

// Already sorted, reversed and all-equal tables of the largest size a list
// holds: no deep recursion, each row keeps its data.
TEST(GridTableSort, SortsTheLargestTablesInAnyOrder) {
    constexpr int kRows = 65535;
    enum Fill { Sorted, Reversed, Equal };
    for (Fill fill : {Sorted, Reversed, Equal}) {
        GridTable table;
        table.insertColumn(0, ckInteger);
        table.insertColumn(1, ckString);
        table.setRowCount(kRows);
        for (int r = 0; r < kRows; ++r) {
            int key = fill == Sorted ? r : fill == Reversed ? kRows - r : 7;
            table.cell(0, r).Text = QString::number(key);
            table.cell(1, r).Data = reinterpret_cast<void *>(static_cast<intptr_t>(key) + 1);
        }
        table.sort(0, true);
        for (int r = 0; r + 1 < kRows; ++r) ASSERT_FALSE(table.keyLess(0, r + 1, r)) << fill << " at " << r;
        for (int r = 0; r < kRows; ++r)
            ASSERT_EQ(reinterpret_cast<intptr_t>(table.cell(1, r).Data), table.cell(0, r).Text.toInt() + 1);
    }
}

}  // namespace
}  // namespace tessarin
