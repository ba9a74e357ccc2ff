// The rules of a calculation that are not the window's: how a typed value
// reaches the engine in base units, how a result comes back into the row's
// unit, and the protocol of a solution line by line.  The main window and the
// task wizard share them, and tests reach them without a screen.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace tessarin {

// Numbers in the engine's own text form (the library's writer and reader).
QString ValueToText(long double value);
// The value of `text`, or nothing when it is not a number.
std::optional<long double> TextToValue(const QString &text);

// The texts of one row of a variable grid.
struct VariableRowTexts {
    QString name;         // "Переменная": the name the engine knows
    QString description;  // "Описание"
    QString value;        // "Значение"
    QString unit;         // "Единица"
};

// What the engine is given for a source row: the typed value (or, when empty,
// the name, which keeps the variable a symbol), in base units.
QString sourceValueText(const VariableRowTexts &row, long double coefficient);

// What a result row shows for the engine's text `result`; `tied` tells
// whether the row's variable has a unit of its own.
QString resultValueText(const QString &result, bool tied, long double coefficient);

// A shown value carried from a unit of coefficient `oldCoefficient` into one
// of `newCoefficient`.
QString convertedValueText(const VariableRowTexts &row, long double oldCoefficient,
                           long double newCoefficient);

// One row of the units tab: its typed value and its coefficient, as texts.
struct MeasureRowTexts {
    QString value;
    QString coefficient;
};

// The units tab's conversion: every row other than `current` receives the
// current row's value in its own unit.  Nothing changes unless the current
// value reads as a positive number.
void convertMeasureValues(std::vector<MeasureRowTexts> &rows, size_t current);

// The six texts of one calculation; lines within a text are joined by CR LF.
struct Protocol {
    QString InitialData;
    QString Unknowns;
    QString Formulas;
    QString Derivation;
    QString Substitution;
    QString Answer;
};

QString sourceLine(const VariableRowTexts &row);
QString unknownLine(const VariableRowTexts &row);
QString formulaLine(const QString &description, const QString &content);
// `row.value` is the result text.
QString answerLine(const VariableRowTexts &row);

// Appends `line` to a protocol text, CR LF between lines.
void appendLine(QString &text, const QString &line);

// The protocol window's lines, headings in their order; texts with line breaks
// give several lines.
QStringList protocolLines(const Protocol &protocol);

}  // namespace tessarin
