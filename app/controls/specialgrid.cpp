#include "controls/specialgrid.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include "controls/cp1251validator.h"
#include "controls/numbers.h"
#include "platform/platform.h"

namespace tessarin {

namespace {

constexpr int kDefaultRowHeight = 17;

QString badNumberText() {
    return QStringLiteral("Неверный формат числа!");
}

}  // namespace

// ---- columns ----

void TColCollectionItem::setCaption(const QString &caption) {
    if (caption_ == caption) return;
    caption_ = caption;
    changed();
}

void TColCollectionItem::setKind(TColKind kind) {
    if (kind_ == kind) return;
    kind_ = kind;
    changed();
}

void TColCollectionItem::setEdited(bool edited) {
    if (edited_ == edited) return;
    edited_ = edited;
    changed();
}

void TColCollectionItem::setSortOrder(uint8_t order) {
    if (sortOrder_ == order) return;
    sortOrder_ = order;
    if (TSpecialGrid *grid = collection_->Owner()) grid->horizontalHeader()->viewport()->update();
}

void TColCollectionItem::Assign(const TColCollectionItem &source) {
    if (&source == this) return;
    caption_ = source.caption_;
    kind_ = source.kind_;
    edited_ = source.edited_;
    sortOrder_ = source.sortOrder_;
    changed();
}

int TColCollectionItem::Index() const {
    return collection_->indexOf(this);
}

void TColCollectionItem::changed() {
    if (TSpecialGrid *grid = collection_->Owner()) grid->columnChanged(Index());
}

int TColCollection::indexOf(const TColCollectionItem *item) const {
    for (int i = 0; i < Count(); ++i)
        if (items_[static_cast<size_t>(i)].get() == item) return i;
    return -1;
}

TColCollectionItem &TColCollection::Add(const QString &caption, TColKind kind, bool edited) {
    auto item = std::unique_ptr<TColCollectionItem>(new TColCollectionItem(this));
    item->caption_ = caption;
    item->kind_ = kind;
    item->edited_ = edited;
    items_.push_back(std::move(item));
    if (owner_) owner_->columnAdded(Count() - 1);
    return *items_.back();
}

void TColCollection::Delete(int index) {
    if (index < 0 || index >= Count()) return;
    if (owner_)
        owner_->columnRemoved(index);  // takes the item out while the view is told
    else
        items_.erase(items_.begin() + index);
}

void TColCollection::Clear() {
    while (Count() > 0) Delete(Count() - 1);
}

// ---- the model the view shows ----

class SpecialGridModel : public QAbstractTableModel {
  public:
    explicit SpecialGridModel(TSpecialGrid *grid) : QAbstractTableModel(grid), grid_(grid) {}

    int rowCount(const QModelIndex &parent = {}) const override {
        return parent.isValid() ? 0 : grid_->table().rowCount();
    }
    int columnCount(const QModelIndex &parent = {}) const override {
        return parent.isValid() ? 0 : grid_->table().columnCount();
    }

    QVariant data(const QModelIndex &index, int role) const override {
        const GridTable &table = grid_->table();
        if (!table.validCell(index.column(), index.row())) return {};
        const TCell &cell = table.cell(index.column(), index.row());
        const bool picture = table.kind(index.column()) == ckPicture;
        switch (role) {
            case Qt::DisplayRole:
                return picture ? QVariant() : QVariant(cell.Text);
            case Qt::EditRole:
                return cell.Text;
            case Qt::DecorationRole:
                if (picture && grid_->ImageList()) return grid_->ImageList()->Image(cell.ImageIndex);
                return {};
            default:
                return {};
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
            section < grid_->Cols().Count())
            return grid_->Cols().Items(section).Caption();
        return {};
    }

    Qt::ItemFlags flags(const QModelIndex &index) const override {
        if (!index.isValid()) return Qt::NoItemFlags;
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (typedInPlace(index.column(), index.row())) flags |= Qt::ItemIsEditable;
        return flags;
    }

    // Text is typed into editable cells of every kind but the clicked ones.
    bool typedInPlace(int column, int row) const {
        if (!grid_->CellEditable(column, row)) return false;
        TColKind kind = grid_->table().kind(column);
        return kind != ckBoolean && kind != ckPicture;
    }

    void beginRows(int from, int to, bool insert) {
        insert ? beginInsertRows({}, from, to) : beginRemoveRows({}, from, to);
    }
    void endRows(bool insert) { insert ? endInsertRows() : endRemoveRows(); }
    void beginColumns(int from, int to, bool insert) {
        insert ? beginInsertColumns({}, from, to) : beginRemoveColumns({}, from, to);
    }
    void endColumns(bool insert) { insert ? endInsertColumns() : endRemoveColumns(); }
    void beginLayout() { emit layoutAboutToBeChanged(); }
    void endLayout() { emit layoutChanged(); }
    void cellChanged(int column, int row) {
        QModelIndex at = index(row, column);
        emit dataChanged(at, at);
    }
    void columnChanged(int column) {
        emit headerDataChanged(Qt::Horizontal, column, column);
        if (rowCount() > 0) emit dataChanged(index(0, column), index(rowCount() - 1, column));
    }

  private:
    TSpecialGrid *grid_;
};

// ---- cell drawing and the in-place editor ----

class SpecialGridDelegate : public QStyledItemDelegate {
  public:
    explicit SpecialGridDelegate(TSpecialGrid *grid) : QStyledItemDelegate(grid), grid_(grid) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override {
        const int column = index.column(), row = index.row();
        if (!grid_->table().validCell(column, row)) return;
        const QRect r = option.rect;
        const bool selected = option.state & QStyle::State_Selected;
        const QPalette &palette = option.palette;
        painter->save();
        // Editable cells on the window colour, the others greyed like a bar.
        QBrush brush = grid_->CellEditable(column, row) ? palette.base() : palette.button();
        painter->fillRect(r, selected ? palette.highlight() : brush);
        painter->setClipRect(r);
        const TCell &cell = grid_->table().cell(column, row);
        if (grid_->table().kind(column) == ckPicture) {
            if (const TImageList *images = grid_->ImageList()) {
                QPixmap image = images->Image(cell.ImageIndex);
                if (!image.isNull()) {
                    const int right = r.x() + r.width();
                    painter->drawPixmap((r.x() + right) / 2 - image.width() / 2, r.y() + 1, image);
                }
            }
        } else {
            painter->setPen(selected ? palette.highlightedText().color() : palette.text().color());
            painter->setFont(option.font);
            painter->drawText(r.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                              cell.Text);
        }
        if (option.state & QStyle::State_HasFocus) {
            QStyleOptionFocusRect focus;
            focus.QStyleOption::operator=(option);
            focus.backgroundColor = selected ? palette.highlight().color() : brush.color();
            grid_->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, grid_);
        }
        painter->restore();
    }

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &,
                          const QModelIndex &index) const override {
        auto *editor = new QLineEdit(parent);
        editor->setFrame(false);
        editor->setValidator(new Cp1251Validator(editor));
        const int column = index.column(), row = index.row();
        // Every change is handed over at once, as typed.
        QObject::connect(
            editor, &QLineEdit::textEdited, grid_,
            [grid = grid_, column, row](const QString &text) { grid->SetEditText(column, row, text); });
        grid_->editor_ = editor;
        return editor;
    }

    // Only when the editor opens: the view calls this again whenever the cell
    // changes, and a cell rewritten from the text being typed ("2." stored as
    // "2") must not throw away what the user is typing.
    void setEditorData(QWidget *editor, const QModelIndex &index) const override {
        auto *line = qobject_cast<QLineEdit *>(editor);
        if (!line || line->property(kStarted).toBool()) return;
        line->setText(grid_->GetEditText(index.column(), index.row()));
        line->setProperty(kStarted, true);
    }

    // The cell already holds what each keystroke handed over.
    void setModelData(QWidget *, QAbstractItemModel *, const QModelIndex &) const override {}

  protected:
    // A message box about the text just typed takes the focus for a moment;
    // the editor stays open so that the user can correct the text.
    bool eventFilter(QObject *object, QEvent *event) override {
        if (event->type() == QEvent::FocusOut && QApplication::activeModalWidget()) return false;
        return QStyledItemDelegate::eventFilter(object, event);
    }

  private:
    static constexpr const char *kStarted = "tessarinEditStarted";
    TSpecialGrid *grid_;
};

// ---- the header: captions, sort indicator, sorting by a click ----

namespace {

class SpecialGridHeader : public QHeaderView {
  public:
    explicit SpecialGridHeader(TSpecialGrid *grid) : QHeaderView(Qt::Horizontal, grid), grid_(grid) {
        setSectionsClickable(false);
        setSectionResizeMode(QHeaderView::Interactive);
        setDefaultAlignment(Qt::AlignCenter);
        setHighlightSections(false);
    }

  protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override {
        QHeaderView::paintSection(painter, rect, logicalIndex);
        if (logicalIndex < 0 || logicalIndex >= grid_->Cols().Count()) return;
        const uint8_t order = grid_->Cols().Items(logicalIndex).SortOrder();
        if (order != soAscending && order != soDescending) return;
        const int t = rect.y(), r = rect.x() + rect.width(), b = rect.y() + rect.height();
        const QPalette &palette = grid_->palette();
        const QColor window = palette.color(QPalette::Base);
        const QColor shadow = palette.color(QPalette::Shadow);
        const QColor inactiveCaption = palette.color(QPalette::Inactive, QPalette::Highlight);
        painter->save();
        // The style's header drawing may leave the clip narrowed to its label.
        painter->setClipRect(rect);
        painter->setRenderHint(QPainter::Antialiasing, false);
        auto line = [painter](const QColor &colour, int x1, int y1, int x2, int y2) {
            painter->setPen(QPen(colour, 0));
            painter->drawLine(x1, y1, x2, y2);
        };
        if (order == soAscending) {
            line(window, r - 11, b - 3, r - 3, b - 3);
            line(shadow, r - 11, b - 3, r - 7, t + 3);
            line(inactiveCaption, r - 3, b - 3, r - 7, t + 3);
        } else {
            line(shadow, r - 11, t + 3, r - 3, t + 3);
            line(inactiveCaption, r - 11, t + 3, r - 7, b - 3);
            line(window, r - 3, t + 3, r - 7, b - 3);
        }
        painter->restore();
    }

    void mousePressEvent(QMouseEvent *event) override {
        const QPoint at = event->position().toPoint();
        const int column = logicalIndexAt(at);
        if (event->button() == Qt::LeftButton && column >= 0 && column < grid_->Cols().Count() &&
            grid_->Cols().Items(column).Kind() != ckPicture) {
            // Away from the edges, where a press starts resizing the column.
            QRect inner(sectionViewportPosition(column), 0, sectionSize(column), height());
            inner.adjust(4, 2, -4, -2);
            if (inner.contains(at)) {
                grid_->SortByColumn(column);
                viewport()->update();
            }
        }
        QHeaderView::mousePressEvent(event);
    }

  private:
    TSpecialGrid *grid_;
};

}  // namespace

// ---- the grid ----

TSpecialGrid::TSpecialGrid(QWidget *parent)
    : QTableView(parent), cols_(this), model_(new SpecialGridModel(this)) {
    // The first column and data row exist before the view first sees the model.
    table_.setRowCount(1);
    cols_.Add();
    setHorizontalHeader(new SpecialGridHeader(this));
    setModel(model_);
    setItemDelegate(new SpecialGridDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(kDefaultRowHeight);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    keepCurrentInside();
}

TSpecialGrid::~TSpecialGrid() = default;

void TSpecialGrid::setImageList(const TImageList *list) {
    imageList_ = list;
    viewport()->update();
}

void TSpecialGrid::columnAdded(int at) {
    model_->beginColumns(at, at, true);
    table_.insertColumn(at, cols_.Items(at).Kind());
    model_->endColumns(true);
    keepCurrentInside();
}

void TSpecialGrid::columnRemoved(int at) {
    closeInPlaceEditor();
    model_->beginColumns(at, at, false);
    cols_.items_.erase(cols_.items_.begin() + at);
    table_.removeColumn(at);
    model_->endColumns(false);
    keepCurrentInside();
}

void TSpecialGrid::columnChanged(int at) {
    if (at < 0 || at >= table_.columnCount()) return;
    table_.setKind(at, cols_.Items(at).Kind());
    model_->columnChanged(at);
}

void TSpecialGrid::setRowCount(int rows) {
    rows = std::max(rows, 0);
    const int old = table_.rowCount();
    if (rows == old) return;
    closeInPlaceEditor();
    const bool insert = rows > old;
    insert ? model_->beginRows(old, rows - 1, true) : model_->beginRows(rows, old - 1, false);
    table_.setRowCount(rows);
    model_->endRows(insert);
    keepCurrentInside();
}

// A grid with rows always has a current cell, as the selection a form reads.
void TSpecialGrid::keepCurrentInside() {
    if (!selectionModel()) return;
    if (table_.rowCount() == 0 || table_.columnCount() == 0) {
        selectionModel()->clearCurrentIndex();
        return;
    }
    QModelIndex current = currentIndex();
    int row = current.isValid() ? std::min(current.row(), table_.rowCount() - 1) : 0;
    int column = current.isValid() ? std::min(current.column(), table_.columnCount() - 1) : 0;
    if (!current.isValid() || current.row() != row || current.column() != column)
        selectionModel()->setCurrentIndex(model_->index(row, column), QItemSelectionModel::ClearAndSelect);
}

bool TSpecialGrid::RowEdited(int row) const {
    return table_.validRow(row) && table_.rowEdited(row);
}

void TSpecialGrid::setRowEdited(int row, bool edited) {
    if (!table_.validRow(row) || table_.rowEdited(row) == edited) return;
    table_.setRowEdited(row, edited);
    if (table_.columnCount() > 0)
        emit model_->dataChanged(model_->index(row, 0), model_->index(row, table_.columnCount() - 1));
}

QString TSpecialGrid::CellText(int column, int row) const {
    return table_.validCell(column, row) ? table_.cell(column, row).Text : QString();
}

void TSpecialGrid::setCellText(int column, int row, const QString &text) {
    if (!table_.validCell(column, row)) return;
    table_.cell(column, row).Text = text;
    cellChanged(column, row);
}

int TSpecialGrid::CellImage(int column, int row) const {
    return table_.validCell(column, row) ? table_.cell(column, row).ImageIndex : -1;
}

void TSpecialGrid::setCellImage(int column, int row, int index) {
    if (!table_.validCell(column, row)) return;
    TCell &cell = table_.cell(column, row);
    cell.ImageIndex = table_.kind(column) == ckPicture ? index : -1;
    cell.Text = QString::number(cell.ImageIndex);
    cellChanged(column, row);
}

void *TSpecialGrid::CellData(int column, int row) const {
    return table_.validCell(column, row) ? table_.cell(column, row).Data : nullptr;
}

void TSpecialGrid::setCellData(int column, int row, void *data) {
    if (table_.validCell(column, row)) table_.cell(column, row).Data = data;
}

void TSpecialGrid::cellChanged(int column, int row) {
    model_->cellChanged(column, row);
}

int TSpecialGrid::CurrentRow() const {
    QModelIndex current = currentIndex();
    return current.isValid() ? current.row() : -1;
}

void TSpecialGrid::setCurrentRow(int row) {
    if (!table_.validRow(row) || table_.columnCount() == 0) return;
    const int column = std::max(CurrentColumn(), 0);
    QModelIndex at = model_->index(row, column);
    selectionModel()->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect);
    scrollTo(at);
}

int TSpecialGrid::CurrentColumn() const {
    QModelIndex current = currentIndex();
    return current.isValid() ? current.column() : -1;
}

void TSpecialGrid::setCurrentColumn(int column) {
    if (column < 0 || column >= table_.columnCount() || table_.rowCount() == 0) return;
    QModelIndex at = model_->index(std::max(CurrentRow(), 0), column);
    selectionModel()->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect);
    scrollTo(at);
}

int TSpecialGrid::FindRow(int column, const QString &text) const {
    return table_.findRow(column, text);
}

void TSpecialGrid::sortIndicatorsFor(int column, uint8_t order) {
    for (int i = 0; i < cols_.Count(); ++i)
        cols_.Items(i).setSortOrder(i == column ? order : uint8_t{soNone});
}

void TSpecialGrid::sortRows(int column, bool ascending) {
    // The current cell stays where it is; the rows move under it.
    model_->beginLayout();
    table_.sort(column, ascending);
    model_->endLayout();
    viewport()->update();
}

void TSpecialGrid::SortByColumn(int column) {
    if (table_.rowCount() < 2 || column < 0 || column >= cols_.Count()) return;
    closeInPlaceEditor();
    const bool ascending = cols_.Items(column).SortOrder() != soAscending;
    sortIndicatorsFor(column, ascending ? soAscending : soDescending);
    sortRows(column, ascending);
}

void TSpecialGrid::Sort(int column, bool ascending) {
    if (column < 0 || column >= cols_.Count()) return;
    sortIndicatorsFor(column, ascending ? soAscending : soDescending);
    if (table_.rowCount() >= 2) {
        closeInPlaceEditor();
        sortRows(column, ascending);
    }
}

void TSpecialGrid::CopyRow(int destination, int source) {
    if (!table_.validRow(destination) || !table_.validRow(source)) return;
    table_.copyRow(destination, source);
    if (table_.columnCount() > 0)
        emit model_->dataChanged(model_->index(destination, 0),
                                 model_->index(destination, table_.columnCount() - 1));
}

void TSpecialGrid::DeleteRow(int row) {
    if (!table_.validRow(row)) return;
    closeInPlaceEditor();
    for (int r = row; r + 1 < table_.rowCount(); ++r) CopyRow(r, r + 1);
    setRowCount(table_.rowCount() - 1);
}

bool TSpecialGrid::CellEditable(int column, int row) const {
    return table_.validCell(column, row) && column < cols_.Count() && cols_.Items(column).Edited() &&
           table_.rowEdited(row);
}

QString TSpecialGrid::GetEditText(int column, int row) const {
    return CellText(column, row);
}

void TSpecialGrid::SetEditText(int column, int row, const QString &text) {
    if (table_.validCell(column, row)) {
        switch (table_.kind(column)) {
            case ckString:
                setCellText(column, row, text);
                break;
            case ckInteger: {
                std::optional<long double> value = readNumber(text);
                std::optional<int32_t> whole = value ? wholeNumber(*value) : std::nullopt;
                if (whole)
                    setCellText(column, row, QString::number(*whole));
                else
                    platform().message(MessageKind::Error, badNumberText());
                break;
            }
            case ckReal:
                if (std::optional<long double> value = readNumber(text))
                    setCellText(column, row, writeNumber(*value));
                else
                    platform().message(MessageKind::Error, badNumberText());
                break;
            case ckBoolean:
            case ckPicture:
                break;
        }
    }
    emit OnSetEditText(column, row, text);
}

void TSpecialGrid::closeInPlaceEditor() {
    if (editor_) {
        QWidget *editor = editor_;
        editor_ = nullptr;
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void TSpecialGrid::mousePressEvent(QMouseEvent *event) {
    const QModelIndex at = indexAt(event->position().toPoint());
    if (!at.isValid()) return;
    if (event->button() != Qt::LeftButton) {
        QTableView::mousePressEvent(event);
        return;
    }
    const bool wasCurrent = at == currentIndex();
    QTableView::mousePressEvent(event);
    pressedOn(at, wasCurrent);
}

// The second press of a double click has already come as a press.
void TSpecialGrid::mouseDoubleClickEvent(QMouseEvent *event) {
    QTableView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton && indexAt(event->position().toPoint()).isValid())
        emit OnDblClick();
}

void TSpecialGrid::pressedOn(const QModelIndex &at, bool wasCurrent) {
    const int column = at.column(), row = at.row();
    if (CellEditable(column, row)) {
        switch (table_.kind(column)) {
            case ckBoolean:
                // A press on the yes/no cell that is already current flips it.
                if (wasCurrent)
                    setCellText(column, row, CellText(column, row) == yesText() ? noText() : yesText());
                break;
            case ckPicture:
                break;
            default:
                if (currentIndex() == at && state() != EditingState) edit(at);
                break;
        }
    }
    emit OnClick();
}

void TSpecialGrid::keyPressEvent(QKeyEvent *event) {
    const QModelIndex before = currentIndex();
    QTableView::keyPressEvent(event);
    if (currentIndex() != before) emit OnClick();
}

}  // namespace tessarin
