// TRealEdit: a one-line edit holding one real number in the program's text
// form.  It checks the text on every change and withholds OnChange while the
// text is not a number; the text itself is left as the user typed it.
#pragma once

#include <QLineEdit>

namespace tessarin {

class TRealEdit : public QLineEdit {
    Q_OBJECT
  public:
    explicit TRealEdit(QWidget *parent = nullptr);

    // The text read as a number; 0 while the text is unreadable.
    long double Value() const;
    // Shows the value in the program's text form.
    void setValue(long double value);

    QColor Color() const;
    void setColor(const QColor &colour);

  signals:
    // The text changed and reads as a number.
    void OnChange();
    void OnEnter();
    void OnExit();

  protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

  private:
    void textHasChanged(const QString &text);
};

}  // namespace tessarin
