// The configuration record, byte for byte, and what a damaged record yields.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "main/configuration.h"

namespace tessarin {
namespace {

void putWord(QByteArray &bytes, int offset, int value) {
    bytes[offset] = static_cast<char>(value & 0xFF);
    bytes[offset + 1] = static_cast<char>((value >> 8) & 0xFF);
}

// A record assembled by hand from the layout: maximized, base "С:/База.tob",
// tab 2, 1234 x 777, tool bar hidden, status bar shown, widths 100, 101, ...,
// 129, user mode on, protocol mode 3.
QByteArray handMadeRecord() {
    QByteArray bytes(348, '\0');
    bytes[0] = 2;
    bytes.replace(1, 6, QByteArray("\x05TCONF", 6));
    const QByteArray name("\xD1:/\xC1\xE0\xE7\xE0.tob");  // "С:/База.tob" in Windows-1251
    bytes[7] = static_cast<char>(name.size());
    bytes.replace(8, name.size(), name);
    bytes[263] = 2;
    putWord(bytes, 264, 1234);
    putWord(bytes, 266, 777);
    bytes[284] = 0;
    bytes[285] = 1;
    for (int i = 0; i < 30; ++i) putWord(bytes, 286 + 2 * i, 100 + i);
    bytes[346] = 1;
    bytes[347] = 3;
    return bytes;
}

Configuration handMadeConfiguration() {
    Configuration config;
    config.windowState = WindowState::Maximized;
    config.baseName = QStringLiteral("С:/База.tob");
    config.activePage = 2;
    config.width = 1234;
    config.height = 777;
    config.toolBarVisible = false;
    config.statusBarVisible = true;
    for (int i = 0; i < 30; ++i) config.columnWidths[i] = static_cast<uint16_t>(100 + i);
    config.userMode = true;
    config.reportMode = 3;
    return config;
}

TEST(ConfigurationRecord, EncodesEveryFieldAtItsOffset) {
    const QByteArray record = encodeConfiguration(handMadeConfiguration());
    ASSERT_EQ(record.size(), 348);
    for (int i = 0; i < 348; ++i)
        EXPECT_EQ(static_cast<uint8_t>(record[i]), static_cast<uint8_t>(handMadeRecord()[i]))
            << "offset " << i;
}

TEST(ConfigurationRecord, DecodesTheHandMadeRecord) {
    QByteArray bytes = handMadeRecord();
    // Whatever follows the stored name, and the reserved bytes, are not read.
    for (int i = 8 + 11; i < 263; ++i) bytes[i] = 'x';
    for (int i = 268; i < 284; ++i) bytes[i] = '\x7F';
    const auto config = decodeConfiguration(bytes);
    ASSERT_TRUE(config.has_value());
    EXPECT_EQ(*config, handMadeConfiguration());
}

TEST(ConfigurationRecord, DefaultsRoundTripAndMatchTheDesign) {
    const Configuration defaults;
    EXPECT_EQ(defaults.width, 1007);
    EXPECT_EQ(defaults.height, 628);
    const std::array<uint16_t, 30> widths = {28,  378, 307, 85,  184, 96,  76,  85,  184, 96,
                                             77,  244, 170, 275, 278, 304, 213, 188, 147, 108,
                                             293, 68,  77,  68,  75,  81,  88,  70,  68,  68};
    EXPECT_EQ(defaults.columnWidths, widths);
    EXPECT_EQ(decodeConfiguration(encodeConfiguration(defaults)), defaults);
}

TEST(ConfigurationRecord, RefusesShortRecordsAndEveryWrongSignatureByte) {
    EXPECT_FALSE(decodeConfiguration(handMadeRecord().left(347)).has_value());
    EXPECT_FALSE(decodeConfiguration(QByteArray()).has_value());
    for (int offset = 1; offset <= 6; ++offset) {
        QByteArray bytes = handMadeRecord();
        bytes[offset] = static_cast<char>(bytes[offset] ^ 0x01);
        EXPECT_FALSE(decodeConfiguration(bytes).has_value()) << "signature byte " << offset;
    }
    // A longer file is read by its first record.
    EXPECT_TRUE(decodeConfiguration(handMadeRecord() + "tail").has_value());
}

TEST(ConfigurationRecord, ValuesOutOfRangeFallBackToDefaults) {
    QByteArray bytes = handMadeRecord();
    bytes[0] = 7;    // no such window state
    bytes[263] = 4;  // no such tab
    bytes[347] = 9;  // no such protocol mode
    const auto config = decodeConfiguration(bytes);
    ASSERT_TRUE(config.has_value());
    EXPECT_EQ(config->windowState, WindowState::Normal);
    EXPECT_EQ(config->activePage, 0);
    EXPECT_EQ(config->reportMode, 0);
    EXPECT_EQ(config->width, 1234);
}

TEST(ConfigurationRecord, BaseNameIsCutTo255BytesAndEmptyStaysEmpty) {
    Configuration config;
    config.baseName = QString(300, u'ж');
    const QByteArray record = encodeConfiguration(config);
    EXPECT_EQ(static_cast<uint8_t>(record[7]), 255);
    EXPECT_EQ(static_cast<uint8_t>(record[262]), 0xE6);  // the 255th "ж"
    EXPECT_EQ(record[263], 0);                           // the tab is untouched
    EXPECT_EQ(decodeConfiguration(record)->baseName, QString(255, u'ж'));

    config.baseName.clear();
    EXPECT_TRUE(decodeConfiguration(encodeConfiguration(config))->baseName.isEmpty());

    struct Case {
        QString name;
        bool fits;
    };
    for (const Case &c :
         {Case{QString(255, u'a'), true}, Case{QString(256, u'a'), false},
          Case{QStringLiteral("/дом/база.tob"), true}, Case{QStringLiteral("/家/base.tob"), false}})
        EXPECT_EQ(fitsConfiguration(c.name), c.fits) << c.name.toStdString();
}

TEST(ConfigurationFile, ReadsWritesAndReportsMissingOrIgnoredFiles) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Tessarin.tcf"));
    EXPECT_EQ(readConfigurationFile(path).status, ConfigStatus::FileMissing);

    ASSERT_TRUE(writeConfigurationFile(path, handMadeConfiguration()));
    EXPECT_EQ(QFileInfo(path).size(), 348);
    const ConfigReading reading = readConfigurationFile(path);
    EXPECT_EQ(reading.status, ConfigStatus::Read);
    EXPECT_EQ(reading.config, handMadeConfiguration());

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(handMadeRecord().left(100));
    file.close();
    const ConfigReading shortRecord = readConfigurationFile(path);
    EXPECT_EQ(shortRecord.status, ConfigStatus::Ignored);
    EXPECT_EQ(shortRecord.config, Configuration{});

    EXPECT_FALSE(
        writeConfigurationFile(dir.filePath(QStringLiteral("no/such/dir/Tessarin.tcf")), Configuration{}));
}

}  // namespace
}  // namespace tessarin
