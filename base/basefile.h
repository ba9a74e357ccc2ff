// The one open base, its lifecycle and its file.
//
// The base file (integers little-endian, no padding):
//   signature   5 bytes   "TDB", 0x01, 0x00
//   records     to the end of the file, one per object:
//     length      2 bytes   the whole record, these two included; 7..7206
//     kind        1 byte    1..10
//     identifier  4 bytes   signed, nonzero, unique within the kind
//     body        length - 7 bytes, the kind's fields:
//       Group           text Name; ref Parent
//       Complex         text Name; ref Picture; ref Group
//       Formula         text Description; text Content; ref Picture; ref Group; ref Complex
//       DimensionClass  nine signed exponents
//       Quantity        text Name; ref DimensionClass
//       Measure         text Name; text Mark; real Coefficient; ref DimensionClass
//       Tie             ref Quantity; ref Measure
//       Constant        text Name; text Mark; real Value; ref Tie
//       Variable        text Description; text Mark; ref Complex; ref Formula; ref Tie
//       Picture         2-byte block length L (the whole block), then (L - 2) / 2
//                       pairs (count, value) expanding to exactly 7200 bytes
//   text: a length byte n (at most the field's capacity - 1), then n nonzero bytes;
//   ref: the 4-byte identifier of the target in this file, 0 for nil;
//   real: the 10 bytes of the 80-bit extended real as held in memory.
#pragma once

#include <sys/types.h>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "records.h"

namespace base {

inline constexpr char kSignature[5] = {'T', 'D', 'B', 1, 0};
inline constexpr char kDefaultName[] = "Data.tob";
constexpr std::size_t kMaxRecord = 7206;
constexpr std::size_t kMaxPicturePairs = 3598;

// Values of the last result.
enum LastResult : uint16_t {
    kRead = 0,
    kCannotOpen = 1,
    kNotABase = 2,
    kCannotWrite = 3,
    kForeignFile = 4,
    kPicturesLeftOut = 5,
};

// What identifies the file a base was read from, so that closing never
// writes over contents the base did not read.
struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    int64_t modified_ns = 0;
    bool operator==(const FileStamp &) const = default;
};

class OpenBase {
  public:
    OpenBase();
    ~OpenBase();
    OpenBase(const OpenBase &) = delete;
    OpenBase &operator=(const OpenBase &) = delete;

    KindList &list(ObjectKind kind) { return *lists_[kind - 1]; }
    bool contains(const void *object) const { return members_.contains(object); }
    bool contains(ObjectKind kind, const void *object) const;

    // The base owns the object from here on.
    void adopt(ObjectKind kind, void *object);
    // Takes the objects out of their lists; all but `keep` stay allocated
    // until the base closes, since the program may still hold them.
    void take_out(const std::array<HashSet<void *>, kKindCount + 1> &removed, const void *keep);
    // DisposeObject of an object that a removal took out.
    void forget_removed(void *object) { removed_.erase(object); }

    std::string file_name;
    std::optional<FileStamp> read_stamp;  // set only when the file was read as a base

  private:
    std::array<std::unique_ptr<KindList>, kKindCount> lists_;
    HashMap<const void *, ObjectKind> members_;
    HashSet<void *> removed_;
};

OpenBase *current_base();
uint16_t last_result();

void open_base(const char *file_name);
void close_base();
bool add_to_base(ObjectKind kind, void *object);
void change_base_name(const char *file_name);
void dispose_object(void **object);

// The number of (count, value) pairs the picture needs, and its run block
// (nothing when it needs more than kMaxPicturePairs, which a record cannot hold).
std::size_t picture_pairs(const Picture &picture);
std::optional<std::vector<uint8_t>> encode_picture(const Picture &picture);

}  // namespace base
