// The parameters dialog: the user mode and when the protocol opens by itself.
#pragma once

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QPushButton;

namespace tessarin {

class TParamsForm : public QDialog {
    Q_OBJECT

  public:
    explicit TParamsForm(QWidget *parent = nullptr);

    void setSettings(bool userMode, uint8_t reportMode);
    bool userMode() const;
    uint8_t reportMode() const;

    QCheckBox *UserModeCheckBox;
    QGroupBox *ReportViewRadioGroup;
    QButtonGroup *ReportViewButtons;
    QPushButton *OKButton, *CancelButton, *HelpButton;

    void HelpButtonClick();
};

}  // namespace tessarin
