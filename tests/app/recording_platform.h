// A platform that answers instead of the user and records what was shown.
// An unexpected modal dialog or message fails the test rather than blocking it.
#pragma once

#include <QDialog>
#include <QStringList>
#include <deque>
#include <functional>

#include <gtest/gtest.h>

#include "platform/platform.h"

namespace tessarin::testing {

struct Shown {
    MessageKind kind;
    QString text;
};

class RecordingPlatform : public Platform {
public:
    RecordingPlatform() { setPlatform(this); }
    ~RecordingPlatform() override { setPlatform(nullptr); }

    // What was shown, in order.
    std::vector<Shown> messages;
    std::vector<Shown> confirmations;
    QStringList helpShown;  // "contents", "topic:<name>", "context:<number>"
    QString clipboard;

    // Answers, consumed in order.
    std::deque<bool> confirmAnswers;
    std::deque<QString> fileAnswers;
    // Each modal dialog is handed to the next driver, which may fill it in and
    // returns the dialog's result.
    std::deque<std::function<int(QDialog &)>> dialogDrivers;

    void message(MessageKind kind, const QString &text) override { messages.push_back({kind, text}); }
    bool confirm(MessageKind kind, const QString &text) override {
        confirmations.push_back({kind, text});
        if (confirmAnswers.empty()) {
            ADD_FAILURE() << "unexpected confirmation: " << text.toStdString();
            return false;
        }
        bool answer = confirmAnswers.front();
        confirmAnswers.pop_front();
        return answer;
    }
    int runModal(QDialog &dialog) override {
        if (dialogDrivers.empty()) {
            ADD_FAILURE() << "unexpected modal dialog: " << dialog.windowTitle().toStdString();
            return QDialog::Rejected;
        }
        auto driver = std::move(dialogDrivers.front());
        dialogDrivers.pop_front();
        return driver(dialog);
    }
    QString openFileName(const QString &, const QString &, const QString &) override { return nextFile(); }
    QString saveFileName(const QString &, const QString &, const QString &) override { return nextFile(); }
    QString clipboardText() override { return clipboard; }
    void setClipboardText(const QString &text) override { clipboard = text; }
    void helpContents() override { helpShown << "contents"; }
    void helpTopic(const QString &topic) override { helpShown << "topic:" + topic; }
    void helpContext(int context) override { helpShown << "context:" + QString::number(context); }

private:
    QString nextFile() {
        if (fileAnswers.empty()) {
            ADD_FAILURE() << "unexpected file dialog";
            return {};
        }
        QString answer = fileAnswers.front();
        fileAnswers.pop_front();
        return answer;
    }
};

}  // namespace tessarin::testing
