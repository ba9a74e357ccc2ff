#include "main/configuration.h"

#include <QFile>
#include <QSaveFile>

#include "platform/text.h"

namespace tessarin {

namespace {

constexpr char kSignature[6] = {5, 'T', 'C', 'O', 'N', 'F'};
constexpr int kBaseNameCapacity = 255;

void putWord(QByteArray &record, int offset, uint16_t value) {
    record[offset] = static_cast<char>(value & 0xFF);
    record[offset + 1] = static_cast<char>(value >> 8);
}

uint16_t wordAt(const QByteArray &record, int offset) {
    return static_cast<uint16_t>(static_cast<uint8_t>(record[offset]) |
                                 static_cast<uint8_t>(record[offset + 1]) << 8);
}

uint8_t byteAt(const QByteArray &record, int offset) {
    return static_cast<uint8_t>(record[offset]);
}

}  // namespace

bool fitsConfiguration(const QString &baseName) {
    return isRepresentable(baseName) && toBase(baseName).size() <= kBaseNameCapacity;
}

QByteArray encodeConfiguration(const Configuration &config) {
    QByteArray record(kConfigRecordSize, '\0');
    record[config_offset::WindowState] = static_cast<char>(config.windowState);
    record.replace(config_offset::Signature, sizeof kSignature, kSignature, sizeof kSignature);
    const QByteArray name = toBase(config.baseName).left(kBaseNameCapacity);
    record[config_offset::BaseName] = static_cast<char>(name.size());
    record.replace(config_offset::BaseName + 1, name.size(), name);
    record[config_offset::ActivePage] = static_cast<char>(config.activePage);
    putWord(record, config_offset::Width, config.width);
    putWord(record, config_offset::Height, config.height);
    record[config_offset::ToolBarVisible] = config.toolBarVisible ? 1 : 0;
    record[config_offset::StatusBarVisible] = config.statusBarVisible ? 1 : 0;
    for (int i = 0; i < kColumnCount; ++i)
        putWord(record, config_offset::ColWidths + 2 * i, config.columnWidths[i]);
    record[config_offset::UserMode] = config.userMode ? 1 : 0;
    record[config_offset::ReportMode] = static_cast<char>(config.reportMode);
    return record;
}

std::optional<Configuration> decodeConfiguration(const QByteArray &record) {
    if (record.size() < kConfigRecordSize) return std::nullopt;
    if (record.mid(config_offset::Signature, sizeof kSignature) != QByteArray(kSignature, sizeof kSignature))
        return std::nullopt;
    Configuration config;
    const int nameLength = byteAt(record, config_offset::BaseName);
    config.baseName = fromBase(record.constData() + config_offset::BaseName + 1, nameLength);
    if (byteAt(record, config_offset::ActivePage) <= 3)
        config.activePage = byteAt(record, config_offset::ActivePage);
    config.width = wordAt(record, config_offset::Width);
    config.height = wordAt(record, config_offset::Height);
    if (byteAt(record, config_offset::WindowState) <= 2)
        config.windowState = static_cast<WindowState>(byteAt(record, config_offset::WindowState));
    config.toolBarVisible = byteAt(record, config_offset::ToolBarVisible) != 0;
    config.statusBarVisible = byteAt(record, config_offset::StatusBarVisible) != 0;
    for (int i = 0; i < kColumnCount; ++i)
        config.columnWidths[i] = wordAt(record, config_offset::ColWidths + 2 * i);
    config.userMode = byteAt(record, config_offset::UserMode) != 0;
    if (byteAt(record, config_offset::ReportMode) <= 3)
        config.reportMode = byteAt(record, config_offset::ReportMode);
    return config;
}

ConfigReading readConfigurationFile(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {ConfigStatus::FileMissing, {}};
    const auto config = decodeConfiguration(file.read(kConfigRecordSize));
    if (!config) return {ConfigStatus::Ignored, {}};
    return {ConfigStatus::Read, *config};
}

bool writeConfigurationFile(const QString &path, const Configuration &config) {
    // A save file replaces the old record only once the new one is complete,
    // so a failed write never leaves a damaged configuration behind.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(encodeConfiguration(config));
    return file.commit();
}

}  // namespace tessarin
