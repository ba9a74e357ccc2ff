#include "controls/gridtable.h"

#include <QByteArray>
#include <algorithm>
#include <numeric>
#include <variant>

#include "controls/numbers.h"
#include "platform/text.h"

namespace tessarin {

QString yesText() {
    return QStringLiteral("да");
}
QString noText() {
    return QStringLiteral("нет");
}

QString newCellText(TColKind kind) {
    switch (kind) {
        case ckInteger:
        case ckReal:
            return QStringLiteral("0");
        case ckBoolean:
            return noText();
        case ckString:
        case ckPicture:
            break;
    }
    return QString();
}

namespace {

TCell newCell(TColKind kind) {
    return TCell{newCellText(kind), 0, nullptr};
}

// A text that is not an integer (an empty picture cell, a hand-set text)
// counts as 0 rather than failing the whole sort.
int32_t integerKey(const QString &text) {
    bool ok = false;
    int value = text.trimmed().toInt(&ok);
    return ok ? value : 0;
}

long double realKey(const QString &text) {
    return readNumber(text).value_or(0.0L);
}

// One key per row, computed once, so that comparing never re-reads a text.
using Key = std::variant<QByteArray, int32_t, long double, bool>;

Key keyOf(TColKind kind, const QString &text) {
    switch (kind) {
        case ckString:
            return toBase(text);  // the byte codes, compared unsigned
        case ckInteger:
        case ckPicture:
            return integerKey(text);
        case ckReal:
            return realKey(text);
        case ckBoolean:
            return text == yesText();
    }
    return false;
}

}  // namespace

void GridTable::insertColumn(int at, TColKind kind) {
    at = std::clamp(at, 0, columnCount());
    Column column{kind, std::vector<TCell>(rowEdited_.size(), newCell(kind))};
    columns_.insert(columns_.begin() + at, std::move(column));
}

void GridTable::removeColumn(int at) {
    if (at >= 0 && at < columnCount()) columns_.erase(columns_.begin() + at);
}

void GridTable::setRowCount(int rows) {
    rows = std::max(rows, 0);
    for (Column &column : columns_) column.cells.resize(rows, newCell(column.kind));
    rowEdited_.resize(rows, true);
}

void GridTable::copyRow(int destination, int source) {
    if (!validRow(destination) || !validRow(source) || destination == source) return;
    rowEdited_[destination] = rowEdited_[source];
    for (Column &column : columns_) column.cells[destination] = column.cells[source];
}

void GridTable::deleteRow(int row) {
    if (!validRow(row)) return;
    for (int r = row; r + 1 < rowCount(); ++r) copyRow(r, r + 1);
    setRowCount(rowCount() - 1);
}

int GridTable::findRow(int column, const QString &text) const {
    if (column < 0 || column >= columnCount()) return -1;
    const std::vector<TCell> &cells = columns_[column].cells;
    for (int r = 0; r < rowCount(); ++r)
        if (cells[r].Text == text) return r;
    return -1;
}

bool GridTable::keyLess(int column, int a, int b) const {
    const Column &c = columns_[column];
    return keyOf(c.kind, c.cells[a].Text) < keyOf(c.kind, c.cells[b].Text);
}

// A stable merge sort over precomputed keys: O(n log n) whatever the order of
// the rows, and no recursion that grows with their number.
void GridTable::sort(int column, bool ascending) {
    if (column < 0 || column >= columnCount() || rowCount() < 2) return;
    const Column &c = columns_[column];
    std::vector<Key> keys;
    keys.reserve(rowEdited_.size());
    for (const TCell &cell : c.cells) keys.push_back(keyOf(c.kind, cell.Text));

    std::vector<int> order(rowEdited_.size());
    std::iota(order.begin(), order.end(), 0);
    if (ascending)
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return keys[a] < keys[b]; });
    else
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return keys[b] < keys[a]; });

    for (Column &each : columns_) {
        std::vector<TCell> sorted;
        sorted.reserve(order.size());
        for (int from : order) sorted.push_back(std::move(each.cells[from]));
        each.cells = std::move(sorted);
    }
    std::vector<char> edited;
    edited.reserve(order.size());
    for (int from : order) edited.push_back(rowEdited_[from]);
    rowEdited_ = std::move(edited);
}

}  // namespace tessarin
