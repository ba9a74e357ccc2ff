#include "main/icons.h"

#include <QFont>
#include <QHash>
#include <QPainter>
#include <QPixmap>

namespace tessarin {

namespace {

struct Glyph {
    QString text;
    QColor colour;
};

QPixmap glyphPixmap(const Glyph &glyph, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(glyph.colour.darker(140));
    painter.setBrush(glyph.colour);
    painter.drawRoundedRect(QRectF(0.5, 0.5, size - 1, size - 1), size / 5.0, size / 5.0);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(size * 11 / 20);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, glyph.text);
    return pixmap;
}

QIcon glyphIcon(const Glyph &glyph) {
    QIcon icon;
    for (int size : {16, 20, 24, 32}) icon.addPixmap(glyphPixmap(glyph, size));
    return icon;
}

}  // namespace

QIcon applicationIcon() {
    return glyphIcon({QStringLiteral("Т"), QColor(0x2e, 0x6d, 0xa4)});
}

QIcon commandIcon(const QString &name) {
    static const QColor objects(0x3c, 0x8d, 0x40), calc(0xc0, 0x6a, 0x12), clip(0x55, 0x5f, 0x8c),
        tools(0x7b, 0x3f, 0x8f), help(0x2e, 0x6d, 0xa4);
    static const QHash<QString, Glyph> glyphs = {
        {"NewAction", {"+", objects}},      {"DoubleAction", {"2", objects}},
        {"ChangeAction", {"✎", objects}},   {"DeleteAction", {"×", QColor(0xb0, 0x30, 0x30)}},
        {"CalcAction", {"=", calc}},        {"ReportAction", {"≡", calc}},
        {"CutAction", {"✂", clip}},         {"CopyAction", {"К", clip}},
        {"PasteAction", {"В", clip}},       {"FindAction", {"?", QColor(0x1f, 0x7a, 0x7a)}},
        {"TaskAction", {"З", tools}},       {"QuantityEditAction", {"В", QColor(0x6d, 0x5a, 0x2a)}},
        {"CalculatorAction", {"±", tools}}, {"ContextAction", {"?", help}},
        {"HelpAction", {"С", help}},        {"LoadBaseAction", {"Б", QColor(0x44, 0x44, 0x44)}},
    };
    const auto found = glyphs.constFind(name);
    return found == glyphs.cend() ? QIcon() : glyphIcon(*found);
}

}  // namespace tessarin
