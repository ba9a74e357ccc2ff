#include "main/about_form.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "main/icons.h"

namespace tessarin {

TAboutForm::TAboutForm(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(QStringLiteral("О программе"));

    auto *icon = new QLabel;
    icon->setPixmap(applicationIcon().pixmap(32, 32));
    const QString title = QApplication::applicationDisplayName();
    NameLabel = new QLabel(title.isEmpty() ? QStringLiteral("Тессарин") : title);
    NameLabel->setObjectName(QStringLiteral("NameLabel"));
    QFont large = NameLabel->font();
    large.setBold(true);
    large.setPointSizeF(large.pointSizeF() * 1.5);
    NameLabel->setFont(large);
    VersionLabel = new QLabel(QStringLiteral("1.0"));
    VersionLabel->setObjectName(QStringLiteral("VersionLabel"));
    CloseButton = new QPushButton(QStringLiteral("Закрыть"));
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    CloseButton->setDefault(true);
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::accept);

    auto *version = new QHBoxLayout;
    version->addWidget(new QLabel(QStringLiteral("Версия: ")));
    version->addWidget(VersionLabel);
    version->addStretch();
    auto *layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, 3, 1, Qt::AlignTop);
    layout->addWidget(NameLabel, 0, 1);
    layout->addWidget(new QLabel(QStringLiteral("Справочник инженерных расчётов")), 1, 1);
    layout->addLayout(version, 2, 1);
    layout->addWidget(CloseButton, 3, 0, 1, 2, Qt::AlignCenter);
    setFixedSize(sizeHint());
}

}  // namespace tessarin
