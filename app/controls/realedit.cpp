#include "controls/realedit.h"

#include <QFocusEvent>

#include "controls/cp1251validator.h"
#include "controls/numbers.h"
#include "platform/platform.h"

namespace tessarin {

TRealEdit::TRealEdit(QWidget *parent) : QLineEdit(QStringLiteral("0"), parent) {
    setValidator(new Cp1251Validator(this));
    connect(this, &QLineEdit::textChanged, this, &TRealEdit::textHasChanged);
}

long double TRealEdit::Value() const {
    return readNumber(text()).value_or(0.0L);
}

void TRealEdit::setValue(long double value) {
    setText(writeNumber(value));
}

QColor TRealEdit::Color() const {
    return palette().color(QPalette::Base);
}

void TRealEdit::setColor(const QColor &colour) {
    QPalette p = palette();
    p.setColor(QPalette::Base, colour);
    setPalette(p);
}

void TRealEdit::textHasChanged(const QString &text) {
    if (readNumber(text))
        emit OnChange();
    else
        platform().message(MessageKind::Error, QStringLiteral("Неверный формат числа"));
}

void TRealEdit::focusInEvent(QFocusEvent *event) {
    QLineEdit::focusInEvent(event);
    emit OnEnter();
}

void TRealEdit::focusOutEvent(QFocusEvent *event) {
    QLineEdit::focusOutEvent(event);
    emit OnExit();
}

}  // namespace tessarin
