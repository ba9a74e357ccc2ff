#include "main/commands.h"

namespace tessarin {

const std::vector<CommandInfo> &commandTable() {
    static const std::vector<CommandInfo> table = {
        {"ExitAction", "&Выход", "Выход из программы", "Alt+F4"},
        {"LoadBaseAction", "&Подключить...", "Подключение новой базы данных", "F3"},
        {"AddBaseAction", "&Добавить...", "Добавить к текущей базе данные из другой базы", "Shift+F3"},
        {"StatisticAction", "&Статистика...", "Выдать количество объектов разного типа в базе", ""},
        {"CutAction", "&Вырезать", "Вырезать объект в буфер обмена", "Shift+Del"},
        {"CopyAction", "&Копировать", "Копировать объект в буфер обмена", "Ctrl+Ins"},
        {"PasteAction", "В&ставить", "Вставить объект из буфера обмена", "Shift+Ins"},
        {"FindAction", "&Поиск...", "Поиск объектов в базе данных", "F7"},
        {"ToolBarAction", "П&анель кнопок", "Показывает/скрывает панель кнопок", "", CommandStyle::Check},
        {"StatusAction", "&Панель статуса", "Показывает/скрывает панель строку статуса", "",
         CommandStyle::Check},
        {"FormulaAction", "&Расчётные формулы", "Вкладка с формулами и комплексами", "", CommandStyle::Radio},
        {"MeasureAction", "&Единицы измерения", "Вкладка с величинами и единицами", "", CommandStyle::Radio},
        {"ConstantsAction", "&Константы", "Вкладка с константами", "", CommandStyle::Radio},
        {"NewAction", "&Создать...", "Создать новый объект в базе данных", "Ins"},
        {"DoubleAction", "&Дублировать...", "Создать копированием новый объект", "Shift+Ins"},
        {"ChangeAction", "&Изменить...", "Изменить свойства выбранного объекта", "Shift+Return"},
        {"DeleteAction", "&Удалить", "Удалить данный объект из базы", "Ctrl+Del"},
        {"CalcAction", "&Расчёт", "Вычислить по данным значениям", "F9"},
        {"ReportAction", "&Протокол", "Протокол последнего расчёта", ""},
        {"TaskAction", "&Решение задач...", "Решить задачу", "Shift+F9"},
        {"QuantityEditAction", "Р&едактор величин", "Вызвать редактор величин", ""},
        {"CalculatorAction", "&Калькулятор...", "Универсальный калькулятор", "Ctrl+F9"},
        {"ParamsAction", "&Параметры...", "Настройка основных параметров программы", ""},
        {"HelpAction", "&Справка", "Справочная система программы", ""},
        {"ContextAction", "&Контекстная справка", "Контекстная справка", "Alt+F1"},
        {"AboutAction", "&О программе...", "Сведения о программе", ""},
    };
    return table;
}

const std::vector<MenuInfo> &mainMenuTable() {
    static const std::vector<MenuInfo> table = {
        {"&База",
         "Операции с базой данных",
         {"LoadBaseAction", "AddBaseAction", "", "StatisticAction", "", "ExitAction"}},
        {"&Правка",
         "Различные операции с объектами",
         {"CutAction", "CopyAction", "PasteAction", "", "FindAction"}},
        {"&Вид",
         "Настройки интерфейса программы",
         {"ToolBarAction", "StatusAction", "", "FormulaAction", "MeasureAction", "ConstantsAction"}},
        {"&Действия",
         "",
         {"NewAction", "DoubleAction", "ChangeAction", "DeleteAction", "", "CalcAction", "ReportAction"}},
        {"&Средства", "Различные инструменты", {"TaskAction", "QuantityEditAction", "CalculatorAction"}},
        {"С&ервис", "", {"ParamsAction"}},
        {"&?", "Справочная система", {"HelpAction", "ContextAction", "", "AboutAction"}},
    };
    return table;
}

const std::vector<const char *> &toolBarTable() {
    static const std::vector<const char *> table = {"NewAction",
                                                    "DoubleAction",
                                                    "ChangeAction",
                                                    "DeleteAction",
                                                    "",
                                                    "CalcAction",
                                                    "ReportAction",
                                                    "",
                                                    "CutAction",
                                                    "CopyAction",
                                                    "PasteAction",
                                                    "",
                                                    "FindAction",
                                                    "",
                                                    "TaskAction",
                                                    "QuantityEditAction",
                                                    "CalculatorAction",
                                                    "",
                                                    "ContextAction"};
    return table;
}

const std::vector<const char *> &popupMenuTable() {
    static const std::vector<const char *> table = {"DoubleAction", "ChangeAction", "DeleteAction", "",
                                                    "CutAction",    "CopyAction"};
    return table;
}

namespace {

void refreshGridTab(const CommandInputs &in, CommandStates &out) {
    static constexpr int kindOfTab[4] = {0, kKindMeasure, kKindConstant, kKindQuantity};
    out.newEnabled = in.page != 1 || in.quantitySelected;
    out.doubleEnabled = in.gridHasRows;
    out.deleteEnabled = in.gridHasRows;
    out.changeEnabled = !in.userMode && in.gridHasRows;
    out.calcEnabled = in.page == 1;
    out.reportEnabled = false;
    out.cutEnabled = in.gridHasCurrentObject;
    out.copyEnabled = !in.userMode && in.gridHasCurrentObject;
    out.pasteEnabled = !in.userMode && in.clipboardKind == kindOfTab[in.page];
}

bool objectsPasteAllowed(const CommandInputs &in) {
    switch (in.levelKind) {
        case 0:
            return in.clipboardKind == kKindGroup;
        case 1:
            return in.clipboardKind >= kKindGroup && in.clipboardKind <= kKindFormula;
        case 2:
            return in.clipboardKind == kKindFormula;
    }
    return false;
}

void refreshVariableButtons(const CommandInputs &in, CommandStates &out) {
    if (in.objectRows == 0) return;
    switch (in.currentKind) {
        case kKindComplex:
            out.toResultEnabled = in.sourceRows > 0 && in.sourceCurrentEditable;
            out.toSourceEnabled = in.resultRows > 0;
            out.excludeEnabled = in.resultRows > 0;
            break;
        case kKindFormula:
            out.toResultEnabled = in.resultRows == 0 && in.sourceCurrentEditable;
            out.toSourceEnabled = in.resultRows == 1;
            out.excludeEnabled = false;
            break;
        default:  // a group, or nothing the buttons apply to
            break;
    }
}

void refreshFormulaTab(const CommandInputs &in, CommandStates &out) {
    const bool objectsFocused = in.focus == FormulaFocus::Objects;
    const bool hasRows = in.objectRows > 0;
    out.newEnabled = objectsFocused;
    out.doubleEnabled = hasRows && objectsFocused;
    out.deleteEnabled = hasRows && objectsFocused;
    if (in.focus == FormulaFocus::Source)
        out.changeEnabled = hasRows && in.sourceCurrentHasVariable;
    else if (in.focus == FormulaFocus::Result)
        out.changeEnabled = hasRows && in.resultCurrentHasVariable;
    else
        out.changeEnabled = hasRows && !in.userMode;
    out.calcEnabled = in.resultRows > 0;
    out.reportEnabled = in.lastProtocol;
    const bool objectChosen = objectsFocused && in.objectsHaveCurrentObject;
    out.cutEnabled = objectChosen;
    out.copyEnabled = (!in.userMode && objectChosen) ||
                      (in.focus == FormulaFocus::Source && in.sourceCurrentHasVariable) ||
                      (in.focus == FormulaFocus::Result && in.resultCurrentHasVariable);
    out.pasteEnabled = (!in.userMode && objectsFocused && objectsPasteAllowed(in)) ||
                       (in.focus == FormulaFocus::Source && in.clipboardKind == kKindVariable);
    out.intoEnabled = hasRows && in.currentKind != kKindFormula;
    out.levelUpEnabled = in.levelKind != 0;
    out.topLevelEnabled = in.levelKind != 0;
    refreshVariableButtons(in, out);
}

}  // namespace

CommandStates computeCommandStates(const CommandInputs &in) {
    CommandStates out;
    out.changesVisible = !in.userMode;
    if (in.page == 0)
        refreshFormulaTab(in, out);
    else
        refreshGridTab(in, out);
    out.editorOnly = in.page == 3;
    return out;
}

}  // namespace tessarin
