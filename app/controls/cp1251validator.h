// Refuses, as it is typed or pasted, any character that a Windows-1251 record
// cannot hold, so that no text is ever silently altered on its way into the
// base.  Install it on every edit whose text ends up in a record.
#pragma once

#include <QValidator>

namespace tessarin {

class Cp1251Validator : public QValidator {
    Q_OBJECT
  public:
    explicit Cp1251Validator(QObject *parent = nullptr) : QValidator(parent) {}
    State validate(QString &input, int &pos) const override;
};

}  // namespace tessarin
