// The desktop platform: real message boxes, dialogs, clipboard and the
// program's help window.
#include "platform/platform.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHash>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "platform/desktop.h"

// Resources of a static library are registered only when something refers to
// them; the help window does.
static void initHelpResources() {
    Q_INIT_RESOURCE(help);
}

namespace tessarin {

QString captionOf(MessageKind kind) {
    switch (kind) {
        case MessageKind::Error:
            return QStringLiteral("Ошибка");
        case MessageKind::Hint:
            return QStringLiteral("Указание");
        case MessageKind::Information:
            return QStringLiteral("Сообщение");
    }
    return {};
}

QString qtFileFilter(const QString &filter) {
    const QStringList parts = filter.split(u'|');
    if (parts.size() < 2) return filter;
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        entries << QStringLiteral("%1 (%2)").arg(parts[i], QString(parts[i + 1]).replace(u';', u' '));
    return entries.join(QStringLiteral(";;"));
}

namespace {

const QString helpRoot = QStringLiteral("qrc:/help/");

bool helpPageExists(const QString &name) {
    initHelpResources();
    return QFile::exists(QStringLiteral(":/help/") + name + QStringLiteral(".html"));
}

// The context numbers of the controls, from the help's own table
// "contexts.txt": lines "number page", '#' starts a comment.
const QHash<int, QString> &helpContexts() {
    static const QHash<int, QString> contexts = [] {
        initHelpResources();
        QHash<int, QString> table;
        QFile file(QStringLiteral(":/help/contexts.txt"));
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return table;
        while (!file.atEnd()) {
            const QString line = QString::fromUtf8(file.readLine()).section(u'#', 0, 0).trimmed();
            const QStringList fields = line.split(u' ', Qt::SkipEmptyParts);
            bool number = false;
            if (fields.size() == 2) {
                const int context = fields[0].toInt(&number);
                if (number) table.insert(context, fields[1]);
            }
        }
        return table;
    }();
    return contexts;
}

// The help window of the program: one for the whole run, raised on every
// request.
class HelpWindow : public QWidget {
  public:
    HelpWindow() {
        setWindowTitle(QStringLiteral("Справка — Тессарин"));
        setAttribute(Qt::WA_DeleteOnClose);
        resize(760, 560);
        auto *contents = new QPushButton(QStringLiteral("Содержание"));
        auto *back = new QPushButton(QStringLiteral("Назад"));
        auto *forward = new QPushButton(QStringLiteral("Вперёд"));
        browser_ = new QTextBrowser;
        browser_->setOpenExternalLinks(false);
        connect(contents, &QPushButton::clicked, this, [this] { browser_->setSource(helpContentsPage()); });
        connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
        connect(forward, &QPushButton::clicked, browser_, &QTextBrowser::forward);
        connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
        connect(browser_, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);
        back->setEnabled(false);
        forward->setEnabled(false);
        auto *buttons = new QHBoxLayout;
        buttons->addWidget(contents);
        buttons->addWidget(back);
        buttons->addWidget(forward);
        buttons->addStretch();
        auto *layout = new QVBoxLayout(this);
        layout->addLayout(buttons);
        layout->addWidget(browser_);
    }

    void showPage(const QUrl &page) {
        browser_->setSource(page);
        show();
        raise();
        activateWindow();
    }

  private:
    QTextBrowser *browser_;
};

void showHelpPage(const QUrl &page) {
    static QPointer<HelpWindow> window;
    if (!window) window = new HelpWindow;
    window->showPage(page);
}

class DesktopPlatform : public Platform {
  public:
    void message(MessageKind kind, const QString &text) override {
        QMessageBox box(iconOf(kind), captionOf(kind), text, QMessageBox::Ok, nullptr);
        box.exec();
    }
    bool confirm(MessageKind kind, const QString &text) override {
        QMessageBox box(QMessageBox::Question, captionOf(kind), text, QMessageBox::Yes | QMessageBox::No,
                        nullptr);
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes;
    }
    int runModal(QDialog &dialog) override { return dialog.exec(); }
    QString openFileName(const QString &caption, const QString &filter, const QString &directory) override {
        return QFileDialog::getOpenFileName(nullptr, caption, directory, qtFileFilter(filter));
    }
    QString saveFileName(const QString &caption, const QString &filter, const QString &suggested) override {
        return QFileDialog::getSaveFileName(nullptr, caption, suggested, qtFileFilter(filter));
    }
    QString clipboardText() override { return QGuiApplication::clipboard()->text(); }
    void setClipboardText(const QString &text) override { QGuiApplication::clipboard()->setText(text); }
    void helpContents() override { showHelpPage(helpContentsPage()); }
    void helpTopic(const QString &topic) override { showHelpPage(helpPageOfTopic(topic)); }
    void helpContext(int context) override { showHelpPage(helpPageOfContext(context)); }

  private:
    static QMessageBox::Icon iconOf(MessageKind kind) {
        switch (kind) {
            case MessageKind::Error:
                return QMessageBox::Critical;
            case MessageKind::Hint:
                return QMessageBox::Warning;
            case MessageKind::Information:
                return QMessageBox::Information;
        }
        return QMessageBox::NoIcon;
    }
};

Platform *installed = nullptr;

}  // namespace

QUrl helpContentsPage() {
    return QUrl(helpRoot + QStringLiteral("index.html"));
}

QUrl helpPageOfTopic(const QString &topic) {
    if (topic.isEmpty() || !helpPageExists(topic)) return helpContentsPage();
    return QUrl(helpRoot + topic + QStringLiteral(".html"));
}

QUrl helpPageOfContext(int context) {
    const auto found = helpContexts().constFind(context);
    if (found == helpContexts().cend()) return helpContentsPage();
    // A page may name a place on it: "Formulas_Tab#data".
    QUrl page = helpPageOfTopic(found.value().section(u'#', 0, 0));
    const QString place = found.value().section(u'#', 1);
    if (!place.isEmpty() && page != helpContentsPage()) page.setFragment(place);
    return page;
}

Platform &platform() {
    static DesktopPlatform desktop;
    return installed ? *installed : desktop;
}

void setPlatform(Platform *p) {
    installed = p;
}

}  // namespace tessarin
