// The main window's command set as the user meets it (menus, tool bar,
// pop-up menu, captions, hints, shortcuts) and the rule that enables it.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QToolBar>

#include "app/recording_platform.h"
#include "main/commands.h"
#include "main/main_form.h"
#include "main/paths.h"

namespace tessarin {
namespace {

// An entry as shown: the caption, "-" for a separator.
QStringList entriesOf(const QList<QAction *> &actions) {
    QStringList entries;
    for (const QAction *action : actions)
        entries << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return entries;
}

class CommandSetTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setProgramDirectory(program.path());
        form = std::make_unique<TMainForm>();
    }
    void TearDown() override {
        form.reset();
        setProgramDirectory({});
    }
    QTemporaryDir program;
    testing::RecordingPlatform platform;
    std::unique_ptr<TMainForm> form;
};

TEST_F(CommandSetTest, MenusHoldTheirItemsInOrder) {
    struct Menu {
        QString caption;
        QString hint;
        QStringList items;
    };
    const Menu expected[] = {
        {"&База",
         "Операции с базой данных",
         {"&Подключить...", "&Добавить...", "-", "&Статистика...", "-", "&Выход"}},
        {"&Правка",
         "Различные операции с объектами",
         {"&Вырезать", "&Копировать", "В&ставить", "-", "&Поиск..."}},
        {"&Вид",
         "Настройки интерфейса программы",
         {"П&анель кнопок", "&Панель статуса", "-", "&Расчётные формулы", "&Единицы измерения",
          "&Константы"}},
        {"&Действия",
         "",
         {"&Создать...", "&Дублировать...", "&Изменить...", "&Удалить", "-", "&Расчёт", "&Протокол"}},
        {"&Средства", "Различные инструменты", {"&Решение задач...", "Р&едактор величин", "&Калькулятор..."}},
        {"С&ервис", "", {"&Параметры..."}},
        {"&?", "Справочная система", {"&Справка", "&Контекстная справка", "-", "&О программе..."}},
    };
    const QList<QAction *> menus = form->menuBar()->actions();
    ASSERT_EQ(menus.size(), static_cast<qsizetype>(std::size(expected)));
    for (size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(menus[i]->text(), expected[i].caption);
        EXPECT_EQ(menus[i]->statusTip(), expected[i].hint);
        EXPECT_EQ(entriesOf(menus[i]->menu()->actions()), expected[i].items)
            << expected[i].caption.toStdString();
    }
}

TEST_F(CommandSetTest, ToolBarAndPopupMenuHoldTheirCommandsInOrder) {
    const QStringList toolBar = {"&Создать...",
                                 "&Дублировать...",
                                 "&Изменить...",
                                 "&Удалить",
                                 "-",
                                 "&Расчёт",
                                 "&Протокол",
                                 "-",
                                 "&Вырезать",
                                 "&Копировать",
                                 "В&ставить",
                                 "-",
                                 "&Поиск...",
                                 "-",
                                 "&Решение задач...",
                                 "Р&едактор величин",
                                 "&Калькулятор...",
                                 "-",
                                 "&Контекстная справка"};
    EXPECT_EQ(entriesOf(form->ToolBar->actions()), toolBar);
    const QStringList popup = {"&Дублировать...", "&Изменить...", "&Удалить", "-",
                               "&Вырезать",       "&Копировать"};
    EXPECT_EQ(entriesOf(form->PopupMenu->actions()), popup);
}

TEST_F(CommandSetTest, EveryCommandHasItsCaptionHintAndShortcut) {
    struct Command {
        const char *name;
        QString caption, hint, shortcut;
        bool checkable;
    };
    const Command expected[] = {
        {"ExitAction", "&Выход", "Выход из программы", "Alt+F4", false},
        {"LoadBaseAction", "&Подключить...", "Подключение новой базы данных", "F3", false},
        {"AddBaseAction", "&Добавить...", "Добавить к текущей базе данные из другой базы", "Shift+F3", false},
        {"StatisticAction", "&Статистика...", "Выдать количество объектов разного типа в базе", "", false},
        {"CutAction", "&Вырезать", "Вырезать объект в буфер обмена", "Shift+Del", false},
        {"CopyAction", "&Копировать", "Копировать объект в буфер обмена", "Ctrl+Ins", false},
        {"PasteAction", "В&ставить", "Вставить объект из буфера обмена", "Shift+Ins", false},
        {"FindAction", "&Поиск...", "Поиск объектов в базе данных", "F7", false},
        {"ToolBarAction", "П&анель кнопок", "Показывает/скрывает панель кнопок", "", true},
        {"StatusAction", "&Панель статуса", "Показывает/скрывает панель строку статуса", "", true},
        {"FormulaAction", "&Расчётные формулы", "Вкладка с формулами и комплексами", "", true},
        {"MeasureAction", "&Единицы измерения", "Вкладка с величинами и единицами", "", true},
        {"ConstantsAction", "&Константы", "Вкладка с константами", "", true},
        {"NewAction", "&Создать...", "Создать новый объект в базе данных", "Ins", false},
        {"ChangeAction", "&Изменить...", "Изменить свойства выбранного объекта", "Shift+Return", false},
        {"DeleteAction", "&Удалить", "Удалить данный объект из базы", "Ctrl+Del", false},
        {"CalcAction", "&Расчёт", "Вычислить по данным значениям", "F9", false},
        {"ReportAction", "&Протокол", "Протокол последнего расчёта", "", false},
        {"TaskAction", "&Решение задач...", "Решить задачу", "Shift+F9", false},
        {"QuantityEditAction", "Р&едактор величин", "Вызвать редактор величин", "", false},
        {"CalculatorAction", "&Калькулятор...", "Универсальный калькулятор", "Ctrl+F9", false},
        {"ParamsAction", "&Параметры...", "Настройка основных параметров программы", "", false},
        {"HelpAction", "&Справка", "Справочная система программы", "", false},
        {"ContextAction", "&Контекстная справка", "Контекстная справка", "Alt+F1", false},
        {"AboutAction", "&О программе...", "Сведения о программе", "", false},
    };
    for (const Command &c : expected) {
        const QAction *command = form->action(QString::fromLatin1(c.name));
        ASSERT_NE(command, nullptr) << c.name;
        EXPECT_EQ(command->text(), c.caption) << c.name;
        EXPECT_EQ(command->statusTip(), c.hint) << c.name;
        EXPECT_EQ(command->shortcut(), QKeySequence(c.shortcut)) << c.name;
        EXPECT_EQ(command->isCheckable(), c.checkable) << c.name;
    }
    EXPECT_EQ(form->DoubleAction->text(), QStringLiteral("&Дублировать..."));
    EXPECT_EQ(form->DoubleAction->statusTip(), QStringLiteral("Создать копированием новый объект"));
    // The three tab commands are one radio group.
    form->MeasureAction->trigger();
    EXPECT_FALSE(form->FormulaAction->isChecked());
    EXPECT_TRUE(form->MeasureAction->isChecked());
}

TEST_F(CommandSetTest, ShiftInsPastesWhenPastingIsPossibleAndDuplicatesOtherwise) {
    const QKeySequence shiftIns(QStringLiteral("Shift+Ins"));
    form->RefreshCommands();
    ASSERT_FALSE(form->PasteAction->isEnabled());
    EXPECT_EQ(form->DoubleAction->shortcut(), shiftIns);
    form->ClipboardKind = kKindConstant;
    form->ConstantsAction->trigger();
    ASSERT_TRUE(form->PasteAction->isEnabled());
    EXPECT_TRUE(form->DoubleAction->shortcut().isEmpty());
    EXPECT_EQ(form->PasteAction->shortcut(), shiftIns);
}

// The enabling rule on its own.
TEST(CommandStates, GridTabs) {
    struct Case {
        const char *what;
        CommandInputs in;
        bool newEnabled, doubleEnabled, changeEnabled, calcEnabled, cutEnabled, copyEnabled, pasteEnabled;
    };
    auto tab = [](int page, bool rows, bool user, int clipboard, bool quantity = true) {
        CommandInputs in;
        in.page = page;
        in.gridHasRows = rows;
        in.gridHasCurrentObject = rows;
        in.userMode = user;
        in.clipboardKind = clipboard;
        in.quantitySelected = quantity;
        return in;
    };
    const Case cases[] = {
        {"units, rows", tab(1, true, false, 6), true, true, true, true, true, true, true},
        {"units, no quantity", tab(1, false, false, 8, false), false, false, false, true, false, false,
         false},
        {"constants, user mode", tab(2, true, true, 8), true, true, false, false, true, false, false},
        {"constants, measure in clipboard", tab(2, true, false, 6), true, true, true, false, true, true,
         false},
        {"quantities, empty", tab(3, false, false, 5), true, false, false, false, false, false, true},
    };
    for (const Case &c : cases) {
        const CommandStates s = computeCommandStates(c.in);
        EXPECT_EQ(s.newEnabled, c.newEnabled) << c.what;
        EXPECT_EQ(s.doubleEnabled, c.doubleEnabled) << c.what;
        EXPECT_EQ(s.deleteEnabled, c.doubleEnabled) << c.what;
        EXPECT_EQ(s.changeEnabled, c.changeEnabled) << c.what;
        EXPECT_EQ(s.calcEnabled, c.calcEnabled) << c.what;
        EXPECT_FALSE(s.reportEnabled) << c.what;
        EXPECT_EQ(s.cutEnabled, c.cutEnabled) << c.what;
        EXPECT_EQ(s.copyEnabled, c.copyEnabled) << c.what;
        EXPECT_EQ(s.pasteEnabled, c.pasteEnabled) << c.what;
        EXPECT_EQ(s.editorOnly, c.in.page == 3) << c.what;
        EXPECT_EQ(s.changesVisible, !c.in.userMode) << c.what;
    }
}

TEST(CommandStates, FormulasTabPasteFollowsTheLevelAndTheFocus) {
    struct Case {
        int levelKind;
        FormulaFocus focus;
        int clipboard;
        bool userMode;
        bool paste;
    };
    const Case cases[] = {
        {0, FormulaFocus::Objects, kKindGroup, false, true},
        {0, FormulaFocus::Objects, kKindFormula, false, false},
        {1, FormulaFocus::Objects, kKindComplex, false, true},
        {1, FormulaFocus::Objects, kKindQuantity, false, false},
        {2, FormulaFocus::Objects, kKindFormula, false, true},
        {2, FormulaFocus::Objects, kKindGroup, false, false},
        {1, FormulaFocus::Objects, kKindGroup, true, false},
        {1, FormulaFocus::Source, kKindVariable, true, true},
        {1, FormulaFocus::Result, kKindVariable, false, false},
        {1, FormulaFocus::Other, kKindGroup, false, false},
    };
    for (const Case &c : cases) {
        CommandInputs in;
        in.levelKind = c.levelKind;
        in.focus = c.focus;
        in.clipboardKind = c.clipboard;
        in.userMode = c.userMode;
        in.objectRows = 1;
        in.currentKind = kKindGroup;
        EXPECT_EQ(computeCommandStates(in).pasteEnabled, c.paste)
            << "level " << c.levelKind << " clipboard " << c.clipboard << " user " << c.userMode;
    }
}

TEST(CommandStates, FormulasTabListsAndVariableButtons) {
    CommandInputs formula;
    formula.objectRows = 3;
    formula.currentKind = kKindFormula;
    formula.objectsHaveCurrentObject = true;
    formula.focus = FormulaFocus::Objects;
    formula.sourceRows = 2;
    formula.sourceCurrentEditable = true;
    formula.resultRows = 1;
    formula.levelKind = 1;
    CommandStates s = computeCommandStates(formula);
    EXPECT_TRUE(s.newEnabled && s.doubleEnabled && s.deleteEnabled && s.changeEnabled && s.cutEnabled);
    EXPECT_TRUE(s.calcEnabled);
    EXPECT_FALSE(s.reportEnabled);
    EXPECT_FALSE(s.intoEnabled);  // a formula has no level
    EXPECT_TRUE(s.levelUpEnabled && s.topLevelEnabled);
    EXPECT_FALSE(s.toResultEnabled);  // a formula has its one result already
    EXPECT_TRUE(s.toSourceEnabled);
    EXPECT_FALSE(s.excludeEnabled);

    formula.resultRows = 0;
    s = computeCommandStates(formula);
    EXPECT_TRUE(s.toResultEnabled);
    EXPECT_FALSE(s.toSourceEnabled);
    EXPECT_FALSE(s.calcEnabled);

    CommandInputs complex = formula;
    complex.currentKind = kKindComplex;
    complex.resultRows = 2;
    complex.lastProtocol = true;
    complex.focus = FormulaFocus::Source;
    complex.userMode = true;
    s = computeCommandStates(complex);
    EXPECT_TRUE(s.toResultEnabled && s.toSourceEnabled && s.excludeEnabled && s.intoEnabled &&
                s.reportEnabled);
    EXPECT_FALSE(s.newEnabled || s.cutEnabled || s.changeEnabled || s.copyEnabled);
    complex.sourceCurrentHasVariable = true;
    s = computeCommandStates(complex);
    EXPECT_TRUE(s.changeEnabled && s.copyEnabled);

    CommandInputs group = complex;
    group.currentKind = kKindGroup;
    s = computeCommandStates(group);
    EXPECT_FALSE(s.toResultEnabled || s.toSourceEnabled || s.excludeEnabled);

    CommandInputs empty;
    empty.levelKind = 0;
    empty.focus = FormulaFocus::Objects;
    s = computeCommandStates(empty);
    EXPECT_TRUE(s.newEnabled);
    EXPECT_FALSE(s.doubleEnabled || s.changeEnabled || s.intoEnabled || s.levelUpEnabled ||
                 s.toResultEnabled);
}

}  // namespace
}  // namespace tessarin
