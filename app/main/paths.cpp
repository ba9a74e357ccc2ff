#include "main/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "main/configuration.h"

namespace tessarin {

namespace {

QString &programDirectoryOverride() {
    static QString directory;
    return directory;
}

bool isWritableDirectory(const QString &directory) {
    const QFileInfo info(directory);
    return info.isDir() && info.isWritable();
}

}  // namespace

QString programDirectory() {
    if (!programDirectoryOverride().isEmpty()) return programDirectoryOverride();
    return QCoreApplication::applicationDirPath();
}

void setProgramDirectory(const QString &directory) {
    programDirectoryOverride() = directory;
}

QString dataDirectory() {
    const QString program = programDirectory();
    if (isWritableDirectory(program)) return program;
    QString user = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (user.isEmpty()) return program;
    user += QStringLiteral("/Tessarin");
    QDir().mkpath(user);
    return user;
}

QString configurationPath() {
    return dataDirectory() + u'/' + QString::fromLatin1(kConfigFileName);
}

bool hasDirectory(const QString &name) {
    return name.contains(u'/') || name.contains(u'\\');
}

QString baseFileOf(const QString &baseName) {
    if (hasDirectory(baseName)) return baseName;
    const QString name = baseName.isEmpty() ? QString::fromLatin1(kDefaultBaseName) : baseName;
    const QString data = dataDirectory();
    const QString file = data + u'/' + name;
    if (baseName.isEmpty() && data != programDirectory() && !QFileInfo::exists(file)) {
        const QString installed = programDirectory() + u'/' + name;
        // The copy must be writable: the base library opens its file for
        // reading and writing.
        if (QFile::copy(installed, file))
            QFile::setPermissions(file, QFile::permissions(file) | QFile::WriteOwner | QFile::ReadOwner);
    }
    return file;
}

}  // namespace tessarin
