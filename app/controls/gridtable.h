// What a special grid holds and decides, apart from any widget: the typed
// columns, the cell table [column][row], the per-row edit flags, and how rows
// are found, moved and sorted.
#pragma once

#include <QString>
#include <cstdint>
#include <vector>

namespace tessarin {

// The kind of a column: what its cells hold and how they are edited.
enum TColKind : uint8_t {
    ckString = 0,   // any text
    ckInteger = 1,  // a decimal integer
    ckReal = 2,     // a real number in the program's text form
    ckBoolean = 3,  // "да" or "нет", toggled by clicking
    ckPicture = 4,  // an image index
};

// The column header's sort indicator.
enum SortOrder : uint8_t { soNone = 0, soAscending = 1, soDescending = 2 };

// The texts of a boolean cell.
QString yesText();  // "да"
QString noText();   // "нет"

// The text a new cell of `kind` starts with.
QString newCellText(TColKind kind);

struct TCell {
    QString Text;
    int32_t ImageIndex = 0;
    void *Data = nullptr;  // the owner's; never freed here
};

class GridTable {
  public:
    int columnCount() const { return static_cast<int>(columns_.size()); }
    int rowCount() const { return static_cast<int>(rowEdited_.size()); }

    TColKind kind(int column) const { return columns_[column].kind; }
    void setKind(int column, TColKind kind) { columns_[column].kind = kind; }

    // A new column at `at`, every row starting with the kind's text.
    void insertColumn(int at, TColKind kind);
    void removeColumn(int at);

    // Surplus rows are dropped; added rows are editable, carry no data and
    // start with their columns' texts.
    void setRowCount(int rows);

    bool validCell(int column, int row) const {
        return column >= 0 && column < columnCount() && row >= 0 && row < rowCount();
    }
    bool validRow(int row) const { return row >= 0 && row < rowCount(); }

    // Callers check validCell / validRow first.
    TCell &cell(int column, int row) { return columns_[column].cells[row]; }
    const TCell &cell(int column, int row) const { return columns_[column].cells[row]; }
    bool rowEdited(int row) const { return rowEdited_[row]; }
    void setRowEdited(int row, bool edited) { rowEdited_[row] = edited; }

    // Out-of-range rows are ignored.
    void copyRow(int destination, int source);
    // The rows after `row` move up by one and the last row goes.
    void deleteRow(int row);
    // The first row whose text in `column` is exactly `text`, or -1.
    int findRow(int column, const QString &text) const;
    // Reorders whole rows (flags, texts, images, data) by the column's keys.
    void sort(int column, bool ascending);

    // Whether row a's key sorts before row b's in `column`.
    bool keyLess(int column, int a, int b) const;

  private:
    struct Column {
        TColKind kind = ckString;
        std::vector<TCell> cells;
    };
    std::vector<Column> columns_;
    std::vector<char> rowEdited_;  // not vector<bool>: rows are permuted as a whole
};

}  // namespace tessarin
