#include "controls/idcontrols.h"

#include <QCollator>
#include <QGridLayout>
#include <QRadioButton>
#include <algorithm>
#include <numeric>
#include <vector>

namespace tessarin {

namespace {

// The object of an item lives in the item's own data, so it goes wherever
// the item goes.
constexpr int kIDRole = Qt::UserRole + 1;

QVariant holder(void *id) {
    return QVariant::fromValue(id);
}
void *heldID(const QVariant &data) {
    return data.isValid() ? data.value<void *>() : nullptr;
}

// Lists sort by text as a Russian reader expects: by the alphabet, not by
// code, and without regard to case.
std::vector<int> sortedOrder(const QStringList &texts) {
    QCollator collator{QLocale(QLocale::Russian, QLocale::Russia)};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<int> order(static_cast<size_t>(texts.size()));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return collator.compare(texts[a], texts[b]) < 0; });
    return order;
}

}  // namespace

// ---- TIDGrid ----

void TIDGrid::setID(int row, void *id) {
    if (row < 0 || row >= RowCount()) return;
    setCellData(0, row, id);
    emit OnSetID(row, id);
}

void TIDGrid::SelectID(void *id) {
    for (int row = 0; row < RowCount(); ++row) {
        if (ID(row) == id) {
            setCurrentColumn(0);
            setCurrentRow(row);
            return;
        }
    }
}

// ---- TIDComboBox ----

TIDComboBox::TIDComboBox(QWidget *parent) : QComboBox(parent) {}

void *TIDComboBox::ID(int index) const {
    return index >= 0 && index < count() ? heldID(itemData(index, kIDRole)) : nullptr;
}

void TIDComboBox::setID(int index, void *id) {
    if (index >= 0 && index < count()) setItemData(index, holder(id), kIDRole);
}

void TIDComboBox::setSelectedID(void *id) {
    setCurrentIndex(id ? IndexOfID(id) : -1);
}

int TIDComboBox::IndexOfID(void *id) const {
    for (int i = 0; i < count(); ++i)
        if (ID(i) == id) return i;
    return -1;
}

void TIDComboBox::AddID(void *id) {
    addItem(QString());
    const int index = count() - 1;
    setID(index, id);
    emit OnAddID(index, id);
    if (sorted_) sortItems();
}

void TIDComboBox::setSorted(bool sorted) {
    sorted_ = sorted;
    if (sorted_) sortItems();
}

void TIDComboBox::sortItems() {
    struct Item {
        QString text;
        QIcon icon;
        QVariant data, id;
    };
    std::vector<Item> items;
    QStringList texts;
    for (int i = 0; i < count(); ++i) {
        items.push_back({itemText(i), itemIcon(i), itemData(i), itemData(i, kIDRole)});
        texts << itemText(i);
    }
    const std::vector<int> order = sortedOrder(texts);
    const int current = currentIndex();
    // The same item stays selected; reordering is not a choice of the user.
    const QSignalBlocker quiet(this);
    clear();
    int newCurrent = -1;
    for (int from : order) {
        const Item &item = items[static_cast<size_t>(from)];
        addItem(item.icon, item.text, item.data);
        setItemData(count() - 1, item.id, kIDRole);
        if (from == current) newCurrent = count() - 1;
    }
    setCurrentIndex(newCurrent);
}

// ---- TIDCheckListBox ----

TIDCheckListBox::TIDCheckListBox(QWidget *parent) : QListWidget(parent) {
    // Every item is a check item, however it was added.
    connect(model(), &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex &, int first, int last) {
                for (int i = first; i <= last; ++i) {
                    QListWidgetItem *it = item(i);
                    if (it && !(it->flags() & Qt::ItemIsUserCheckable)) {
                        it->setFlags(it->flags() | Qt::ItemIsUserCheckable);
                        it->setCheckState(Qt::Unchecked);
                    }
                }
            });
}

void *TIDCheckListBox::ID(int index) const {
    const QListWidgetItem *it = item(index);
    return it ? heldID(it->data(kIDRole)) : nullptr;
}

void TIDCheckListBox::setID(int index, void *id) {
    if (QListWidgetItem *it = item(index)) it->setData(kIDRole, holder(id));
}

int TIDCheckListBox::IndexOfID(void *id) const {
    for (int i = 0; i < count(); ++i)
        if (ID(i) == id) return i;
    return -1;
}

void TIDCheckListBox::AddItem(const QString &text) {
    addItem(text);
}

void TIDCheckListBox::AddID(void *id) {
    addItem(QString());
    const int index = count() - 1;
    setID(index, id);
    emit OnAddID(index, id);
    if (sorted_) sortList();
}

bool TIDCheckListBox::Checked(int index) const {
    const QListWidgetItem *it = item(index);
    return it && it->checkState() == Qt::Checked;
}

void TIDCheckListBox::setChecked(int index, bool checked) {
    if (QListWidgetItem *it = item(index)) it->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

void TIDCheckListBox::CheckID(void *id, bool checked) {
    const int index = IndexOfID(id);
    if (index >= 0) setChecked(index, checked);
}

int TIDCheckListBox::CheckedCount() const {
    int checked = 0;
    for (int i = 0; i < count(); ++i) checked += Checked(i) ? 1 : 0;
    return checked;
}

void TIDCheckListBox::setSorted(bool sorted) {
    sorted_ = sorted;
    if (sorted_) sortList();
}

void TIDCheckListBox::sortList() {
    QStringList texts;
    for (int i = 0; i < count(); ++i) texts << item(i)->text();
    const std::vector<int> order = sortedOrder(texts);
    QListWidgetItem *current = currentItem();
    std::vector<QListWidgetItem *> items;
    for (int i = count() - 1; i >= 0; --i) items.push_back(takeItem(i));
    std::reverse(items.begin(), items.end());
    // Whole items move, with their marks and objects.
    for (int from : order) addItem(items[static_cast<size_t>(from)]);
    if (current) setCurrentItem(current);
}

// ---- TIDRadioGroup ----

TIDRadioGroup::TIDRadioGroup(QWidget *parent)
    : QGroupBox(parent), buttons_(new QButtonGroup(this)), layout_(new QGridLayout(this)) {
    buttons_->setExclusive(true);
    connect(buttons_, &QButtonGroup::idClicked, this, [this](int) { emit OnClick(); });
}

void TIDRadioGroup::setItems(const QStringList &items) {
    items_ = items;
    rebuild();
}

void TIDRadioGroup::setColumns(int columns) {
    columns_ = std::max(columns, 1);
    rebuild();
}

int TIDRadioGroup::ItemIndex() const {
    return buttons_->checkedId();
}

void TIDRadioGroup::setItemIndex(int index) {
    if (QAbstractButton *button = buttons_->button(index)) {
        button->setChecked(true);
        return;
    }
    // No choice at all: an exclusive group cannot uncheck its last button.
    buttons_->setExclusive(false);
    for (QAbstractButton *button : buttons_->buttons()) button->setChecked(false);
    buttons_->setExclusive(true);
}

void TIDRadioGroup::rebuild() {
    const int chosen = ItemIndex();
    for (QAbstractButton *button : buttons_->buttons()) {
        buttons_->removeButton(button);
        delete button;
    }
    const int count = static_cast<int>(items_.size());
    const int rows = (count + columns_ - 1) / columns_;
    for (int i = 0; i < count; ++i) {
        auto *button = new QRadioButton(items_[i], this);
        buttons_->addButton(button, i);
        layout_->addWidget(button, i % rows, i / rows);
    }
    setItemIndex(chosen < count ? chosen : -1);
}

}  // namespace tessarin
