// The configuration file "Tessarin.tcf": one packed little-endian record of
// 348 bytes that keeps the window layout, the base name and the two user
// settings between runs.
//
//   offset size  field
//        0    1  WindowState       0 normal, 1 minimized, 2 maximized
//        1    6  Signature         length byte 5, then "TCONF"
//        7  256  BaseName          length byte 0..255, then 255 Windows-1251 bytes
//      263    1  ActivePage        main-window tab 0..3
//      264    2  Width             window width, pixels
//      266    2  Height            window height, pixels
//      268   16  reserved          zero when written, ignored when read
//      284    1  ToolBarVisible    0 or 1
//      285    1  StatusBarVisible  0 or 1
//      286   60  ColWidths         30 column widths, pixels (see ColumnGroup)
//      346    1  UserMode          0 or 1
//      347    1  ReportMode        0..3
#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

namespace tessarin {

inline constexpr int kConfigRecordSize = 348;
inline constexpr int kColumnCount = 30;
inline constexpr const char *kConfigFileName = "Tessarin.tcf";
inline constexpr const char *kDefaultBaseName = "Data.tob";

namespace config_offset {
inline constexpr int WindowState = 0;
inline constexpr int Signature = 1;
inline constexpr int BaseName = 7;
inline constexpr int ActivePage = 263;
inline constexpr int Width = 264;
inline constexpr int Height = 266;
inline constexpr int Reserved = 268;
inline constexpr int ToolBarVisible = 284;
inline constexpr int StatusBarVisible = 285;
inline constexpr int ColWidths = 286;
inline constexpr int UserMode = 346;
inline constexpr int ReportMode = 347;
}  // namespace config_offset

// Where each grid's widths start among the 30, in record order; each grid's
// widths follow its column order.
struct ColumnGroup {
    int first;
    int count;
};
inline constexpr ColumnGroup kObjectsColumns{0, 3};
inline constexpr ColumnGroup kSourceColumns{3, 4};
inline constexpr ColumnGroup kResultColumns{7, 4};
inline constexpr ColumnGroup kMeasuresColumns{11, 4};
inline constexpr ColumnGroup kConstantsColumns{15, 5};
inline constexpr ColumnGroup kQuantitiesColumns{20, 10};

enum class WindowState : uint8_t { Normal = 0, Minimized = 1, Maximized = 2 };

// What the record holds, as the window applies it.
struct Configuration {
    WindowState windowState = WindowState::Normal;
    QString baseName;  // empty: the default base
    uint8_t activePage = 0;
    uint16_t width = 1007;
    uint16_t height = 628;
    bool toolBarVisible = true;
    bool statusBarVisible = true;
    std::array<uint16_t, kColumnCount> columnWidths{28,  378, 307,            // objects list
                                                    85,  184, 96,  76,        // source variables
                                                    85,  184, 96,  77,        // result variables
                                                    244, 170, 275, 278,       // units
                                                    304, 213, 188, 147, 108,  // constants
                                                    293, 68,  77,  68,  75,
                                                    81,  88,  70,  68,  68};  // quantity editor
    bool userMode = false;
    uint8_t reportMode = 0;

    bool operator==(const Configuration &) const = default;
};

// The record of `config`; the base name is cut to 255 bytes.
QByteArray encodeConfiguration(const Configuration &config);

// The configuration in `record`, or nothing when it is shorter than a record
// or its signature differs.  A stored empty base name stays empty (the
// caller connects the default base); values out of their range fall back to
// the defaults, so a damaged record never yields a window that cannot be used.
std::optional<Configuration> decodeConfiguration(const QByteArray &record);

// Whether `baseName` fits the record unchanged: representable in
// Windows-1251 and at most 255 bytes.
bool fitsConfiguration(const QString &baseName);

// Reading and writing the file.  A missing or unreadable file is reported as
// FileMissing, a short record or a wrong signature as Ignored.
enum class ConfigStatus { Read, FileMissing, Ignored };
struct ConfigReading {
    ConfigStatus status;
    Configuration config;  // the defaults unless status is Read
};
ConfigReading readConfigurationFile(const QString &path);
// False when the file could not be written.
bool writeConfigurationFile(const QString &path, const Configuration &config);

}  // namespace tessarin
