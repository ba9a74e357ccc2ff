#include "main/context_help.h"

#include <QApplication>
#include <QKeyEvent>
#include <QVariant>
#include <QWhatsThis>
#include <QWidget>

#include "platform/platform.h"

namespace tessarin {

namespace {
constexpr const char *kHelpContextProperty = "helpContext";
}

void setHelpContext(QWidget *widget, int context) {
    widget->setProperty(kHelpContextProperty, context);
}

int helpContextOf(const QWidget *widget) {
    for (; widget; widget = widget->parentWidget()) {
        const int context = widget->property(kHelpContextProperty).toInt();
        if (context != 0) return context;
    }
    return 0;
}

bool ContextHelp::eventFilter(QObject *watched, QEvent *event) {
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget) return false;
    switch (event->type()) {
        case QEvent::QueryWhatsThis:
            // Every control with a number answers, so the what's-this cursor
            // shows over it.
            if (helpContextOf(widget) == 0) return false;
            event->accept();
            return true;
        case QEvent::WhatsThis:
            if (const int context = helpContextOf(widget)) {
                platform().helpContext(context);
                return true;
            }
            return false;
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent *>(event)->key() == Qt::Key_F1 &&
                static_cast<QKeyEvent *>(event)->modifiers() == Qt::NoModifier) {
                if (const int context = helpContextOf(widget)) {
                    platform().helpContext(context);
                    return true;
                }
            }
            return false;
        default:
            return false;
    }
}

}  // namespace tessarin
