// The About box.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace tessarin {

class TAboutForm : public QDialog {
    Q_OBJECT

  public:
    explicit TAboutForm(QWidget *parent = nullptr);

    QLabel *NameLabel, *VersionLabel;
    QPushButton *CloseButton;
};

}  // namespace tessarin
