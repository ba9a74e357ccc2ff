// Help context numbers on widgets, and the application-wide handling of the
// help requests: F1 on the focused control, and a click in what's-this mode,
// both open the help page of the nearest control that carries a number.
#pragma once

#include <QObject>

class QWidget;

namespace tessarin {

void setHelpContext(QWidget *widget, int context);
// The number of `widget` or of its nearest ancestor that has one; 0 for none.
int helpContextOf(const QWidget *widget);

// Installed once on the application by the main window.
class ContextHelp : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

}  // namespace tessarin
