// The object-bound lists and the real edit.
#include <gtest/gtest.h>

#include <QApplication>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include "controls/idcontrols.h"
#include "controls/realedit.h"
#include "recording_platform.h"

namespace tessarin {
namespace {

using testing::RecordingPlatform;

// Stand-ins for base objects: the controls only ever compare addresses.
struct Thing {
    QString name;
};

class ListsTest : public ::testing::Test {
  protected:
    RecordingPlatform platform;
    Thing mass{"Масса"}, force{"Сила"}, area{"площадь"}, time{"Время"};
};

TEST_F(ListsTest, GridRowsKeepTheirObjectsThroughSorting) {
    TIDGrid grid;
    grid.Cols().Clear();
    grid.Cols().Add("", ckPicture);
    grid.Cols().Add("Название");
    QSignalSpy set(&grid, &TIDGrid::OnSetID);
    QObject::connect(&grid, &TIDGrid::OnSetID, &grid, [&](int row, void *object) {
        grid.setCellText(1, row, static_cast<Thing *>(object)->name);
    });

    EXPECT_EQ(grid.SelectedID(), nullptr);  // one empty row
    grid.setRowCount(0);
    EXPECT_EQ(grid.SelectedID(), nullptr);

    Thing *things[] = {&mass, &force, &area, &time};
    grid.setRowCount(4);
    for (int r = 0; r < 4; ++r) grid.setID(r, things[r]);
    ASSERT_EQ(set.count(), 4);
    EXPECT_EQ(set.at(2).at(0).toInt(), 2);
    EXPECT_EQ(set.at(2).at(1).value<void *>(), &area);

    grid.setID(-1, &mass);  // no such row: no event
    grid.setID(4, &mass);
    EXPECT_EQ(set.count(), 4);
    EXPECT_EQ(grid.ID(-1), nullptr);
    EXPECT_EQ(grid.ID(4), nullptr);

    grid.Sort(1, true);
    for (int r = 0; r < 4; ++r) EXPECT_EQ(static_cast<Thing *>(grid.ID(r))->name, grid.CellText(1, r)) << r;
    // Rewriting a row after its object changed: set the same object again.
    force.name = "Сила тяги";
    const int row = grid.FindRow(1, "Сила");
    grid.setID(row, &force);
    EXPECT_EQ(grid.CellText(1, row), "Сила тяги");
}

TEST_F(ListsTest, GridSelectsByObject) {
    TIDGrid grid;
    grid.Cols().Add("Название");
    grid.Cols().Add("Обозначение");
    grid.setRowCount(3);
    grid.setID(0, &mass);
    grid.setID(1, &force);
    grid.setID(2, &force);
    grid.setCurrentRow(0);
    grid.setCurrentColumn(1);

    grid.SelectID(&force);
    EXPECT_EQ(grid.CurrentRow(), 1);
    EXPECT_EQ(grid.CurrentColumn(), 0);
    EXPECT_EQ(grid.SelectedID(), &force);

    grid.setCurrentColumn(1);
    grid.SelectID(&time);  // held by no row: nothing changes
    EXPECT_EQ(grid.CurrentRow(), 1);
    EXPECT_EQ(grid.CurrentColumn(), 1);

    grid.DeleteRow(0);
    EXPECT_EQ(grid.ID(0), &force);
}

TEST_F(ListsTest, ComboBoxHoldsObjectsPerItem) {
    TIDComboBox box;
    QSignalSpy added(&box, &TIDComboBox::OnAddID);
    QObject::connect(&box, &TIDComboBox::OnAddID, &box, [&](int index, void *object) {
        box.setItemText(index, static_cast<Thing *>(object)->name);
    });
    box.addItem("без объекта");
    EXPECT_EQ(box.ID(0), nullptr);
    EXPECT_EQ(box.IndexOfID(nullptr), 0);

    box.AddID(&mass);
    box.AddID(&force);
    ASSERT_EQ(added.count(), 2);
    EXPECT_EQ(added.at(1).at(0).toInt(), 2);
    EXPECT_EQ(added.at(1).at(1).value<void *>(), &force);
    EXPECT_EQ(box.itemText(2), "Сила");
    EXPECT_EQ(box.IndexOfID(&force), 2);
    EXPECT_EQ(box.IndexOfID(&time), -1);
    EXPECT_EQ(box.ID(7), nullptr);

    box.setSelectedID(&mass);
    EXPECT_EQ(box.currentIndex(), 1);
    EXPECT_EQ(box.SelectedID(), &mass);
    box.setSelectedID(&time);
    EXPECT_EQ(box.currentIndex(), -1);
    EXPECT_EQ(box.SelectedID(), nullptr);
    box.setSelectedID(&force);
    box.setSelectedID(nullptr);
    EXPECT_EQ(box.currentIndex(), -1);

    box.setID(0, &mass);  // a holder for a plain item
    EXPECT_EQ(box.IndexOfID(&mass), 0);
}

TEST_F(ListsTest, ListsSortByTextAndKeepTheirObjects) {
    TIDComboBox box;
    TIDCheckListBox list;
    auto name = [](void *object) { return static_cast<Thing *>(object)->name; };
    QObject::connect(&box, &TIDComboBox::OnAddID, &box,
                     [&](int index, void *object) { box.setItemText(index, name(object)); });
    QObject::connect(&list, &TIDCheckListBox::OnAddID, &list,
                     [&](int index, void *object) { list.item(index)->setText(name(object)); });
    box.setSorted(false);
    list.setSorted(false);
    for (Thing *thing : {&mass, &force, &area, &time}) {
        box.AddID(thing);
        list.AddID(thing);
    }
    box.setSelectedID(&force);
    list.CheckID(&force, true);
    box.setSorted(true);
    list.setSorted(true);

    // By the alphabet, whatever the case.
    const QStringList order = {"Время", "Масса", "площадь", "Сила"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(box.itemText(i), order[i]);
        EXPECT_EQ(name(box.ID(i)), order[i]);
        EXPECT_EQ(list.item(i)->text(), order[i]);
        EXPECT_EQ(name(list.ID(i)), order[i]);
    }
    EXPECT_EQ(box.SelectedID(), &force);
    EXPECT_TRUE(list.Checked(3));
    EXPECT_EQ(list.CheckedCount(), 1);

    // Added while sorted: still in order.
    Thing length{"Длина"};
    box.AddID(&length);
    EXPECT_EQ(box.itemText(1), "Длина");
    EXPECT_EQ(box.SelectedID(), &force);
}

TEST_F(ListsTest, CheckListCountsAndChecksByObject) {
    TIDCheckListBox list;
    list.AddID(&mass);
    list.AddID(&force);
    list.AddItem("просто текст");
    list.addItem("добавлен по-простому");
    EXPECT_EQ(list.ID(2), nullptr);
    EXPECT_EQ(list.IndexOfID(nullptr), 2);
    EXPECT_TRUE(list.item(3)->flags() & Qt::ItemIsUserCheckable);

    list.CheckID(&mass, true);
    list.setChecked(2, true);
    EXPECT_EQ(list.CheckedCount(), 2);
    list.CheckID(&time, true);  // no such item: nothing changes
    EXPECT_EQ(list.CheckedCount(), 2);
    list.CheckID(&mass, false);
    EXPECT_EQ(list.CheckedCount(), 1);
    EXPECT_FALSE(list.Checked(0));
    EXPECT_FALSE(list.Checked(9));
}

TEST_F(ListsTest, LabelAndRadioGroup) {
    TIDLabel label;
    EXPECT_EQ(label.ID, nullptr);
    label.ID = &mass;
    label.IDKind = 5;
    EXPECT_EQ(label.ID, &mass);

    TIDRadioGroup group;
    group.setColumns(2);
    group.setItems({"нет", "кило", "мега", "гига", "милли"});
    EXPECT_EQ(group.ItemIndex(), -1);
    group.setItemIndex(3);
    EXPECT_EQ(group.ItemIndex(), 3);
    group.setItemIndex(-1);
    EXPECT_EQ(group.ItemIndex(), -1);

    // Items fill the first column before the second.
    const QList<QRadioButton *> buttons = group.findChildren<QRadioButton *>();
    ASSERT_EQ(buttons.size(), 5);
    group.show();
    QSignalSpy clicked(&group, &TIDRadioGroup::OnClick);
    QRadioButton *giga = nullptr, *kilo = nullptr, *none = nullptr;
    for (QRadioButton *b : buttons) {
        if (b->text() == "гига") giga = b;
        if (b->text() == "кило") kilo = b;
        if (b->text() == "нет") none = b;
    }
    ASSERT_TRUE(giga && kilo && none);
    EXPECT_EQ(none->x(), kilo->x());
    EXPECT_GT(giga->x(), kilo->x());
    QTest::mouseClick(giga, Qt::LeftButton);
    EXPECT_EQ(group.ItemIndex(), 3);
    EXPECT_EQ(clicked.count(), 1);
}

// Keys typed into the real edit; the text stays as typed.
TEST_F(ListsTest, RealEditChecksEveryChange) {
    TRealEdit edit;
    EXPECT_EQ(edit.text(), "0");
    EXPECT_EQ(edit.Value(), 0);
    QSignalSpy changed(&edit, &TRealEdit::OnChange);

    const struct {
        QString text;
        bool readable;
        long double value;
    } cases[] = {
        {"1,5е", true, 1.5L}, {"-", false, 0}, {"2e-", true, 2},
        {"12 ", false, 0},    {"", true, 0},   {"-0,25", true, -0.25L},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        platform.messages.clear();
        changed.clear();
        edit.setText(c.text);
        EXPECT_EQ(edit.text(), c.text);
        EXPECT_EQ(edit.Value(), c.value);
        EXPECT_EQ(changed.count(), c.readable ? 1 : 0);
        ASSERT_EQ(platform.messages.size(), c.readable ? 0u : 1u);
        if (!c.readable) {
            EXPECT_EQ(platform.messages[0].kind, MessageKind::Error);
            EXPECT_EQ(platform.messages[0].text, "Неверный формат числа");
        }
    }

    // Typed key by key: the half-typed exponent does not complain.
    edit.clear();
    platform.messages.clear();
    for (QChar c : QStringLiteral("6,02е23")) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(&edit, &press);
    }
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(edit.Value(), 6.02e23L);

    edit.setValue(1234.5L);
    EXPECT_EQ(edit.text(), "1234.5");
    edit.setValue(-1.5e-20L);
    EXPECT_EQ(edit.text(), "-1.50000000000000E-0020");
    EXPECT_EQ(edit.Value(), -1.5e-20L);
}

}  // namespace
}  // namespace tessarin
