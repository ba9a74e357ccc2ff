// The main window's command set and the rule that decides, from the window's
// state alone, which commands are visible and enabled.  Both are plain data
// and a plain function, so tests reach them without a screen.
#pragma once

#include <QString>
#include <vector>

namespace tessarin {

enum class CommandStyle { Plain, Check, Radio };

struct CommandInfo {
    const char *name;  // the action's object name, "CalcAction", ...
    QString caption;
    QString hint;
    QString shortcut;  // in QKeySequence's portable form, empty for none
    CommandStyle style = CommandStyle::Plain;
};

// Every command of the window, in the order of its command table.
const std::vector<CommandInfo> &commandTable();

// An entry of a menu or of the tool bar: a command's name, or empty for a
// separator.
struct MenuInfo {
    QString caption;
    QString hint;
    std::vector<const char *> items;
};
const std::vector<MenuInfo> &mainMenuTable();
const std::vector<const char *> &toolBarTable();
const std::vector<const char *> &popupMenuTable();

// Object kinds as the command rule sees them (the codes of the base).
inline constexpr int kKindGroup = 1;
inline constexpr int kKindComplex = 2;
inline constexpr int kKindFormula = 3;
inline constexpr int kKindQuantity = 5;
inline constexpr int kKindMeasure = 6;
inline constexpr int kKindConstant = 8;
inline constexpr int kKindVariable = 9;

// Which control of the formulas tab has the keyboard focus.
enum class FormulaFocus { Other, Objects, Source, Result };

// The window's state as far as the commands depend on it.
struct CommandInputs {
    int page = 0;  // 0..3
    bool userMode = false;
    int clipboardKind = 0;
    // Tabs 1..3: the tab's grid.
    bool quantitySelected = false;  // the quantity list of tab 1 has a selected item
    bool gridHasRows = false;
    bool gridHasCurrentObject = false;
    // Tab 0.
    FormulaFocus focus = FormulaFocus::Other;
    int objectRows = 0;
    int currentKind = 0;  // kind picture of the current row of the objects list
    bool objectsHaveCurrentObject = false;
    int levelKind = 0;  // 0 top, 1 group, 2 complex
    int sourceRows = 0;
    bool sourceCurrentHasVariable = false;
    bool sourceCurrentEditable = false;
    int resultRows = 0;
    bool resultCurrentHasVariable = false;
    bool lastProtocol = false;
};

struct CommandStates {
    // Visibility of the commands that change the base.
    bool changesVisible = true;
    bool newEnabled = false, doubleEnabled = false, changeEnabled = false, deleteEnabled = false;
    bool calcEnabled = false, reportEnabled = false;
    bool cutEnabled = false, copyEnabled = false, pasteEnabled = false;
    // Level buttons of tab 0.
    bool intoEnabled = false, levelUpEnabled = false, topLevelEnabled = false;
    // The three variable buttons of tab 0.
    bool toResultEnabled = false, toSourceEnabled = false, excludeEnabled = false;
    // On the quantity editor only its own tab is shown and the seven
    // navigation commands are disabled.
    bool editorOnly = false;

    bool operator==(const CommandStates &) const = default;
};

CommandStates computeCommandStates(const CommandInputs &in);

}  // namespace tessarin
