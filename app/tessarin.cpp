// The program's entry: the application titled "Тессарин", its main window,
// and the message loop until that window closes.
#include <QApplication>
#include <QDir>

#include "main/icons.h"
#include "main/main_form.h"
#include "main/paths.h"

int main(int argc, char **argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tessarin"));
    QApplication::setApplicationDisplayName(QStringLiteral("Тессарин"));
    QApplication::setWindowIcon(tessarin::applicationIcon());
    // Base names without a directory stand for the program's data directory;
    // working there makes the file dialog and the base agree on them.
    QDir::setCurrent(tessarin::dataDirectory());
    tessarin::TMainForm form;
    form.show();
    return application.exec();
}
