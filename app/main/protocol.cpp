#include "main/protocol.h"

#include <array>

#include "platform/text.h"
#include "solver.h"

namespace tessarin {

namespace {

const QString kLineBreak = QStringLiteral("\r\n");

// StrToVal only ever sets the register, never clears it; an empty formula
// text is the one call that leaves it 0 at no cost, so that the reading
// that follows reports on this text alone.
void clearSolverResult() { DestroyExpression(CreateExpression(" ")); }

}  // namespace

QString ValueToText(long double value) {
    std::array<char, SOLVER_TEXT_BUFFER> buffer{};
    char *out = buffer.data();
    ValToStr(value, &out);
    return fromBase(buffer.data());
}

std::optional<long double> TextToValue(const QString &text) {
    if (!isRepresentable(text)) return std::nullopt;
    clearSolverResult();
    long double value = 0;
    StrToVal(toBase(text).constData(), &value);
    if (SolverLastResult() != 0) return std::nullopt;
    return value;
}

QString sourceValueText(const VariableRowTexts &row, long double coefficient) {
    const QString text = row.value.isEmpty() ? row.name : row.value;
    if (coefficient == 1.0L) return text;
    return ValueToText(coefficient) + "*" + text;
}

QString resultValueText(const QString &result, bool tied, long double coefficient) {
    if (!tied) return result;
    if (const auto v = TextToValue(result)) return ValueToText(*v / coefficient);
    const long double inverse = 1.0L / coefficient;
    if (inverse == 1.0L) return result;
    return ValueToText(inverse) + "*(" + result + ")";
}

QString convertedValueText(const VariableRowTexts &row, long double oldCoefficient,
                           long double newCoefficient) {
    // The engine reads an empty text as 0, but an empty cell is a symbol here.
    if (!row.value.isEmpty())
        if (const auto v = TextToValue(row.value)) return ValueToText(*v * oldCoefficient / newCoefficient);
    const QString text = row.value.isEmpty() ? row.name : row.value;
    return ValueToText(oldCoefficient / newCoefficient) + "*(" + text + ")";
}

void convertMeasureValues(std::vector<MeasureRowTexts> &rows, size_t current) {
    if (current >= rows.size()) return;
    const auto v = TextToValue(rows[current].value);
    if (!v || *v <= 0) return;
    const long double kr = TextToValue(rows[current].coefficient).value_or(0);
    for (size_t i = 0; i < rows.size(); ++i) {
        if (i == current) continue;
        // An unreadable coefficient reads as 0, as the engine's reader gives.
        const long double ki = TextToValue(rows[i].coefficient).value_or(0);
        rows[i].value = ValueToText(*v * kr / ki);
    }
}

QString sourceLine(const VariableRowTexts &row) {
    QString line;
    if (!row.description.isEmpty()) line += row.description + "  ";
    line += row.name;
    if (!row.value.isEmpty()) line += " = " + row.value;
    if (!row.unit.isEmpty()) line += "  " + row.unit;
    return line;
}

QString unknownLine(const VariableRowTexts &row) {
    QString line;
    if (!row.description.isEmpty()) line += row.description + "  ";
    line += row.name;
    if (!row.unit.isEmpty()) line += QStringLiteral(" в ") + row.unit;
    return line;
}

QString formulaLine(const QString &description, const QString &content) {
    return description + "  " + content;
}

QString answerLine(const VariableRowTexts &row) {
    QString line;
    if (!row.description.isEmpty()) line += row.description + "  ";
    line += row.name + " = " + row.value;
    if (!row.unit.isEmpty()) line += " " + row.unit;
    return line;
}

void appendLine(QString &text, const QString &line) {
    if (!text.isEmpty()) text += kLineBreak;
    text += line;
}

QStringList protocolLines(const Protocol &p) {
    QStringList lines{QStringLiteral("Протокол решения")};
    auto section = [&lines](const QString &heading, const QString &text) {
        // An empty text still takes its line, as it does in the window's memo.
        lines << QString() << heading << text.split(kLineBreak);
    };
    section(QStringLiteral("Исходные данные:"), p.InitialData);
    section(QStringLiteral("Найти:"), p.Unknowns);
    section(QStringLiteral("Расчётные формулы:"), p.Formulas);
    if (!p.Derivation.isEmpty()) section(QStringLiteral("Вывод формул:"), p.Derivation);
    section(QStringLiteral("Подстановка значений:"), p.Substitution);
    section(QStringLiteral("Ответ:"), p.Answer);
    return lines;
}

}  // namespace tessarin
