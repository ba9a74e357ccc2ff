#include "controls/cp1251validator.h"

#include "platform/text.h"

namespace tessarin {

QValidator::State Cp1251Validator::validate(QString &input, int &) const {
    return isRepresentable(input) ? Acceptable : Invalid;
}

}  // namespace tessarin
