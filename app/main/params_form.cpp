#include "main/params_form.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "main/context_help.h"
#include "platform/platform.h"

namespace tessarin {

TParamsForm::TParamsForm(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ParamsForm"));
    setWindowTitle(QStringLiteral("Параметры"));

    UserModeCheckBox = new QCheckBox(QStringLiteral("Пользовательский режим"));
    UserModeCheckBox->setObjectName(QStringLiteral("UserModeCheckBox"));
    setHelpContext(UserModeCheckBox, 55);

    ReportViewRadioGroup = new QGroupBox(QStringLiteral("Автоматическая выдача протокола решения:"));
    ReportViewRadioGroup->setObjectName(QStringLiteral("ReportViewRadioGroup"));
    setHelpContext(ReportViewRadioGroup, 56);
    ReportViewButtons = new QButtonGroup(this);
    auto *choices = new QVBoxLayout(ReportViewRadioGroup);
    const QStringList items = {QStringLiteral("Никогда"), QStringLiteral("Только при расчёте комплексов"),
                               QStringLiteral("При расчёте комплексов и преобразованиях"),
                               QStringLiteral("Всегда")};
    for (int index = 0; index < items.size(); ++index) {
        auto *choice = new QRadioButton(items[index]);
        ReportViewButtons->addButton(choice, index);
        choices->addWidget(choice);
    }

    OKButton = new QPushButton(QStringLiteral("&OK"));
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    setHelpContext(OKButton, 1);
    CancelButton = new QPushButton(QStringLiteral("О&тмена"));
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    setHelpContext(CancelButton, 2);
    HelpButton = new QPushButton(QStringLiteral("&Справка"));
    HelpButton->setObjectName(QStringLiteral("HelpButton"));
    setHelpContext(HelpButton, 5);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(HelpButton, &QPushButton::clicked, this, [this] { HelpButtonClick(); });

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);
    buttons->addWidget(HelpButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(UserModeCheckBox);
    layout->addWidget(ReportViewRadioGroup);
    layout->addLayout(buttons);
    setFixedSize(sizeHint());
}

void TParamsForm::setSettings(bool userMode, uint8_t reportMode) {
    UserModeCheckBox->setChecked(userMode);
    if (QAbstractButton *choice = ReportViewButtons->button(reportMode <= 3 ? reportMode : 0))
        choice->setChecked(true);
}

bool TParamsForm::userMode() const {
    return UserModeCheckBox->isChecked();
}

uint8_t TParamsForm::reportMode() const {
    const int index = ReportViewButtons->checkedId();
    return static_cast<uint8_t>(index >= 0 && index <= 3 ? index : 0);
}

void TParamsForm::HelpButtonClick() {
    platform().helpTopic(QStringLiteral("Params_Command"));
}

}  // namespace tessarin
