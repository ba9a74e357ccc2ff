// Lists bound to base objects.  Every item of a list and every row of a grid
// may hold the address of an object (its ID); the controls never interpret,
// copy or free the objects.  The owning form supplies the visible texts when
// an object is attached (OnAddID, OnSetID) and reads the objects back from
// the selection.
#pragma once

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QStringList>
#include <cstdint>

#include "controls/specialgrid.h"

class QGridLayout;

namespace tessarin {

// The holder of one item's object.
struct TID {
    void *ID = nullptr;
};

// A grid whose data row r carries its object in CellData(0, r); sorting and
// deleting rows move whole rows, so each row keeps its object.
class TIDGrid : public TSpecialGrid {
    Q_OBJECT
  public:
    explicit TIDGrid(QWidget *parent = nullptr) : TSpecialGrid(parent) {}

    // Null for a row the grid does not have.
    void *ID(int row) const { return row < 0 ? nullptr : CellData(0, row); }
    // Stores the object and raises OnSetID, whose handler writes the row's
    // texts; setting the same object again rewrites them.  Rows the grid does
    // not have are ignored.
    void setID(int row, void *id);
    void *SelectedID() const { return ID(CurrentRow()); }
    // Makes the first row holding `id` current, in column 0; nothing if none does.
    void SelectID(void *id);

  signals:
    void OnSetID(int Index, void *Sender);
};

// A combo box whose items may hold objects.  Owners fill it by switching
// sorting off, calling AddID per object (OnAddID writes the item's text),
// switching sorting on (items reorder by text, keeping their objects) and
// selecting with setSelectedID.
class TIDComboBox : public QComboBox {
    Q_OBJECT
  public:
    explicit TIDComboBox(QWidget *parent = nullptr);

    // Null when the item has none (for example one added with addItem).
    void *ID(int index) const;
    void setID(int index, void *id);
    // Null when nothing is selected.
    void *SelectedID() const { return ID(currentIndex()); }
    // Null selects nothing; so does an object that no item holds.
    void setSelectedID(void *id);
    // The first item whose object is `id` (address equality), or -1.
    int IndexOfID(void *id) const;
    // Appends an item with an empty text holding `id`, then raises OnAddID.
    void AddID(void *id);

    bool Sorted() const { return sorted_; }
    // Switching it on reorders the items by text at once.
    void setSorted(bool sorted);

  signals:
    void OnAddID(int Index, void *Sender);

  private:
    void sortItems();
    bool sorted_ = false;
};

// A list of check-marked items that may hold objects.
class TIDCheckListBox : public QListWidget {
    Q_OBJECT
  public:
    explicit TIDCheckListBox(QWidget *parent = nullptr);

    void *ID(int index) const;
    void setID(int index, void *id);
    int IndexOfID(void *id) const;
    void AddID(void *id);
    // Appends a plain item without an object.
    void AddItem(const QString &text);

    bool Checked(int index) const;
    void setChecked(int index, bool checked);
    // Sets the mark of the item holding `id`; nothing when no item does.
    void CheckID(void *id, bool checked);
    int CheckedCount() const;

    bool Sorted() const { return sorted_; }
    void setSorted(bool sorted);

  signals:
    void OnAddID(int Index, void *Sender);

  private:
    void sortList();
    bool sorted_ = false;
};

// The label that names an object (the current level of the main window).
class TIDLabel : public QLabel {
    Q_OBJECT
  public:
    explicit TIDLabel(QWidget *parent = nullptr) : QLabel(parent) {}

    void *ID = nullptr;
    uint8_t IDKind = 0;
};

// A plain radio group: a framed set of exclusive choices whose item index is
// the meaning.  Items fill the columns top to bottom, then left to right.
class TIDRadioGroup : public QGroupBox {
    Q_OBJECT
  public:
    explicit TIDRadioGroup(QWidget *parent = nullptr);

    QStringList Items() const { return items_; }
    void setItems(const QStringList &items);
    int Columns() const { return columns_; }
    void setColumns(int columns);
    // -1 when no item is chosen.
    int ItemIndex() const;
    void setItemIndex(int index);

  signals:
    // The user chose an item.
    void OnClick();

  private:
    void rebuild();

    QStringList items_;
    int columns_ = 1;
    QButtonGroup *buttons_;
    QGridLayout *layout_;
};

}  // namespace tessarin
