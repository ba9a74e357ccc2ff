// The one seam between the program and the desktop: message boxes, modal
// dialogs, file dialogs, the clipboard and help.  Program code never calls
// QMessageBox, QFileDialog, QClipboard or QDialog::exec directly; it asks
// platform().  Tests install a Platform of their own that answers and records,
// so no test ever blocks on a real modal window.
#pragma once

#include <QString>

class QDialog;

namespace tessarin {

// Message boxes without owner window; each kind has its caption.
enum class MessageKind {
    Error,        // "Ошибка"
    Hint,         // "Указание"
    Information,  // "Сообщение"
};

QString captionOf(MessageKind kind);

class Platform {
public:
    virtual ~Platform() = default;

    // An OK-only message box.
    virtual void message(MessageKind kind, const QString &text) = 0;
    // Yes and No, No the default; true for Yes.
    virtual bool confirm(MessageKind kind, const QString &text) = 0;
    // Runs a modal dialog and returns its result (QDialog::Accepted or Rejected).
    virtual int runModal(QDialog &dialog) = 0;
    // File dialogs; an empty result means the user cancelled.  `filter` is in
    // the program's "Description|*.ext" form.
    virtual QString openFileName(const QString &caption, const QString &filter, const QString &directory) = 0;
    virtual QString saveFileName(const QString &caption, const QString &filter, const QString &suggested) = 0;
    // The system clipboard's plain text.
    virtual QString clipboardText() = 0;
    virtual void setClipboardText(const QString &text) = 0;
    // Help: the contents, a named topic ("Params_Command", ...), or the page of
    // a control's help context number.
    virtual void helpContents() = 0;
    virtual void helpTopic(const QString &topic) = 0;
    virtual void helpContext(int context) = 0;
};

// The platform in force: the desktop one unless a test installed its own.
Platform &platform();
// Installs `p` (not owned) in place of the desktop; null restores the desktop.
void setPlatform(Platform *p);

}  // namespace tessarin
