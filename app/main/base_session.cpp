#include "main/base_session.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include "base.h"
#include "main/configuration.h"
#include "main/paths.h"
#include "platform/platform.h"
#include "platform/text.h"

namespace tessarin {

namespace {

// BaseLastResult after BaseInit.
constexpr uint16_t kBaseRead = 0;
constexpr uint16_t kBaseNotOpened = 1;
constexpr uint16_t kBaseNotABase = 2;

void showError(const QString &text) {
    platform().message(MessageKind::Error, text);
}

bool canWrite(const QString &file) {
    const QFileInfo info(file);
    if (info.exists()) return info.isFile() && info.isWritable();
    const QFileInfo directory(info.absolutePath());
    return directory.isDir() && directory.isWritable();
}

// The file the library wrote is whole when it holds at least the signature;
// the library itself has no report of a failed write.
bool writtenCompletely(const QString &file) {
    return QFileInfo(file).size() >= 5;
}

}  // namespace

QString cannotOpenMessage(const QString &file) {
    return QStringLiteral("Невозможно открыть файл \"%1\"").arg(file);
}
QString notABaseMessage(const QString &file) {
    return QStringLiteral("Файл \"%1\" не является базой данных").arg(file);
}
QString cannotCreateMessage(const QString &file) {
    return QStringLiteral("Невозможно создать файл \"%1\"").arg(file);
}

bool BaseSession::start(const QString &file, bool quietWhenMissing) {
    BaseInit(toBase(file).constData());
    switch (BaseLastResult()) {
        case kBaseRead:
            return true;
        case kBaseNotOpened:
            if (quietWhenMissing && !QFileInfo::exists(file)) {
                // A new base: it is written where it was asked for, not under
                // the library's fallback name in whatever directory is current.
                ChangeBaseName(toBase(file).constData());
                return true;
            }
            showError(cannotOpenMessage(file));
            return false;
        case kBaseNotABase:
            showError(notABaseMessage(file));
            return false;
        default:
            showError(cannotOpenMessage(file));
            return false;
    }
}

void BaseSession::discard() {
    // The library always writes its base when closing; an empty stand-in is
    // written into a scratch directory that disappears at once.
    QTemporaryDir scratch;
    ChangeBaseName(toBase(scratch.filePath(QStringLiteral("discarded.tob"))).constData());
    BaseDone();
    open_ = false;
}

void BaseSession::open(const QString &baseName) {
    baseName_ = baseName;
    file_ = baseFileOf(baseName);
    writable_ = isRepresentable(file_) && start(file_, true);
    if (!isRepresentable(file_)) {
        showError(cannotOpenMessage(file_));
        BaseInit("");
    }
    open_ = true;
}

void BaseSession::close() {
    if (!open_) return;
    if (!writable_) {
        discard();
        return;
    }
    // A name without directory stands for the data directory, whatever
    // directory has become current meanwhile.
    if (!hasDirectory(baseName_)) ChangeBaseName(toBase(file_).constData());
    BaseDone();
    open_ = false;
    if (!writtenCompletely(file_)) showError(cannotCreateMessage(file_));
}

bool BaseSession::connect(const QString &file, const QString &baseName) {
    if (!isRepresentable(file) || !fitsConfiguration(baseName)) {
        showError(cannotOpenMessage(file));
        return false;
    }
    if (open_ && writable_ && !canWrite(file_)) {
        showError(cannotCreateMessage(file_));
        return false;
    }
    const QString oldName = baseName_;
    const QString oldFile = file_;
    const bool oldWritable = writable_;
    close();
    if (start(file, false)) {
        baseName_ = baseName;
        file_ = file;
        writable_ = true;
        open_ = true;
        return true;
    }
    // Back to the base that was connected: it has just been written, so
    // reading it again gives the same objects.
    open_ = true;
    discard();
    BaseInit(toBase(oldFile).constData());
    if (BaseLastResult() == kBaseNotOpened && !QFileInfo::exists(oldFile))
        ChangeBaseName(toBase(oldFile).constData());
    baseName_ = oldName;
    file_ = oldFile;
    writable_ = oldWritable;
    open_ = true;
    return false;
}

}  // namespace tessarin
