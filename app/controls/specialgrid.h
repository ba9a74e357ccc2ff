// TSpecialGrid: a table of typed columns.  The header shows the column
// captions and sorts by a clicked column; data rows are numbered from 0 and
// hold one text, one image index and one untyped pointer (never owned) per
// cell.  What the user types is checked by the column's kind; yes/no cells
// toggle when their current cell is clicked again.
//
// Every row number in this interface is a data-row number; the header is not
// a row.  Numbers outside the table are ignored by setters and give an empty
// text, image -1 or a null pointer from getters.
#pragma once

#include <QPointer>
#include <QString>
#include <QTableView>
#include <memory>
#include <vector>

#include "controls/gridtable.h"
#include "controls/imagelist.h"

class QLineEdit;

namespace tessarin {

class TColCollection;
class TSpecialGrid;
class SpecialGridModel;

// One column description.  Changing Caption, Kind or Edited tells the grid.
class TColCollectionItem {
  public:
    QString Caption() const { return caption_; }
    void setCaption(const QString &caption);
    TColKind Kind() const { return kind_; }
    // Existing cells keep their texts; only columns added later start with
    // the new kind's text.
    void setKind(TColKind kind);
    bool Edited() const { return edited_; }
    void setEdited(bool edited);
    // The header's sort indicator (see SortOrder); set by the grid's sorting.
    uint8_t SortOrder() const { return sortOrder_; }
    void setSortOrder(uint8_t order);

    // Copies all four fields.
    void Assign(const TColCollectionItem &source);

    int Index() const;
    TColCollection *Collection() const { return collection_; }

  private:
    friend class TColCollection;
    explicit TColCollectionItem(TColCollection *collection) : collection_(collection) {}
    void changed();

    TColCollection *collection_;
    QString caption_;
    TColKind kind_ = ckString;
    bool edited_ = false;
    uint8_t sortOrder_ = soNone;
};

// The columns of one grid, created with it and reporting it as their owner.
class TColCollection {
  public:
    explicit TColCollection(TSpecialGrid *owner) : owner_(owner) {}
    TColCollection(const TColCollection &) = delete;
    TColCollection &operator=(const TColCollection &) = delete;

    TSpecialGrid *Owner() const { return owner_; }
    int Count() const { return static_cast<int>(items_.size()); }
    // Callers keep 0 <= index < Count().
    TColCollectionItem &Items(int index) { return *items_[static_cast<size_t>(index)]; }
    const TColCollectionItem &Items(int index) const { return *items_[static_cast<size_t>(index)]; }
    TColCollectionItem &operator[](int index) { return Items(index); }

    // Appends a column; every existing row gets the kind's starting text in it.
    TColCollectionItem &Add(const QString &caption = {}, TColKind kind = ckString, bool edited = false);
    // Removes the column and its cells.
    void Delete(int index);
    void Clear();

    int indexOf(const TColCollectionItem *item) const;

  private:
    friend class TColCollectionItem;
    friend class TSpecialGrid;
    std::vector<std::unique_ptr<TColCollectionItem>> items_;
    TSpecialGrid *owner_;
};

// A new grid has one string column and one data row.
class TSpecialGrid : public QTableView {
    Q_OBJECT
  public:
    explicit TSpecialGrid(QWidget *parent = nullptr);
    ~TSpecialGrid() override;

    TColCollection &Cols() { return cols_; }
    const TColCollection &Cols() const { return cols_; }

    // Images of the picture columns; not owned, may be absent.
    const TImageList *ImageList() const { return imageList_; }
    void setImageList(const TImageList *list);

    int RowCount() const { return table_.rowCount(); }
    void setRowCount(int rows);
    bool RowEdited(int row) const;
    void setRowEdited(int row, bool edited);

    QString CellText(int column, int row) const;
    void setCellText(int column, int row, const QString &text);
    int CellImage(int column, int row) const;
    // On a picture column the index and its decimal text; on any other
    // column the image is -1 and the text "-1".
    void setCellImage(int column, int row, int index);
    void *CellData(int column, int row) const;
    void setCellData(int column, int row, void *data);

    // -1 when the grid has no data rows.
    int CurrentRow() const;
    void setCurrentRow(int row);
    int CurrentColumn() const;
    void setCurrentColumn(int column);

    // The first row, from 0 up, whose text in `column` is exactly `text`; -1 if none.
    int FindRow(int column, const QString &text) const;
    // Toggles the column's direction (ascending first) and sorts.
    void SortByColumn(int column);
    void Sort(int column, bool ascending);
    // Whole rows: edit flag and every cell's text, image and data.
    void CopyRow(int destination, int source);
    void DeleteRow(int row);

    // Whether the user may change the cell (column Edited and row RowEdited).
    bool CellEditable(int column, int row) const;
    // The in-place editor's starting text.
    QString GetEditText(int column, int row) const;
    // Hands over the in-place editor's text, as it stands after each change,
    // checked by the column's kind; raises OnSetEditText even when refused.
    void SetEditText(int column, int row, const QString &text);

    const GridTable &table() const { return table_; }

  signals:
    // After every hand-over of edited text, with the text as typed.
    void OnSetEditText(int column, int row, const QString &text);
    // The user pressed on a cell or moved the current cell with the keyboard.
    void OnClick();
    void OnDblClick();

  protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

  private:
    friend class TColCollection;
    friend class TColCollectionItem;
    friend class SpecialGridDelegate;

    void columnAdded(int at);
    void columnRemoved(int at);
    void columnChanged(int at);
    void sortIndicatorsFor(int column, uint8_t order);
    void sortRows(int column, bool ascending);
    void closeInPlaceEditor();
    void keepCurrentInside();
    void cellChanged(int column, int row);
    void pressedOn(const QModelIndex &at, bool wasCurrent);

    GridTable table_;
    TColCollection cols_;
    const TImageList *imageList_ = nullptr;
    SpecialGridModel *model_;
    QPointer<QLineEdit> editor_;
};

}  // namespace tessarin
