#include "basefile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>

namespace base {
namespace {

std::unique_ptr<OpenBase> g_base;
uint16_t g_last_result = kRead;

struct RecordFree {
    void operator()(void *object) const { free_record(object); }
};
using RecordPtr = std::unique_ptr<void, RecordFree>;

const ReferenceField &reference_field(ObjectKind holder, std::size_t offset) {
    for (const auto &field : reference_fields())
        if (field.holder == holder && field.offset == offset) return field;
    std::abort();  // every caller names a field of the table
}

// ---- reading -------------------------------------------------------------

uint16_t read_u16(const uint8_t *p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}
int32_t read_i32(const uint8_t *p) {
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                                static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
}

// A reference read from the file, resolved once every record is known.
struct Pending {
    void *holder;
    const ReferenceField *field;
    int32_t identifier;
};

// The objects of a file before they become a base: nothing reaches the base
// until the whole file has been checked.
struct Loaded {
    std::array<std::vector<RecordPtr>, kKindCount + 1> objects;
    std::array<HashMap<int32_t, void *>, kKindCount + 1> identifiers;
    std::vector<Pending> pending;
};

// Reads the fields of one body; any shortfall or malformed field fails it.
class Body {
  public:
    Body(const uint8_t *data, std::size_t size, Loaded &loaded) : data_(data), left_(size), loaded_(loaded) {}

    bool finished() const { return ok_ && left_ == 0; }

    template <std::size_t N>
    Body &text(char (&field)[N]) {
        uint8_t length = 0;
        if (!take(&length, 1) || length > N - 1 || length > left_ || std::memchr(data_, 0, length) != nullptr)
            return fail();
        return take(field, length) ? *this : fail();
    }
    Body &bytes(void *out, std::size_t size) { return take(out, size) ? *this : fail(); }
    // The 80-bit real occupies the first ten bytes of the long double.
    Body &real(long double &value) { return bytes(&value, 10); }
    Body &reference(void *holder, ObjectKind holder_kind, std::size_t offset) {
        uint8_t raw[4];
        if (!take(raw, 4)) return fail();
        int32_t identifier = read_i32(raw);
        if (identifier != 0)
            loaded_.pending.push_back({holder, &reference_field(holder_kind, offset), identifier});
        return *this;
    }
    Body &picture(Picture &picture) {
        uint8_t raw[2];
        if (!take(raw, 2)) return fail();
        std::size_t block = read_u16(raw);
        if (block < 2 || block - 2 != left_ || left_ % 2 != 0) return fail();
        std::size_t filled = 0;
        for (; left_ > 0; data_ += 2, left_ -= 2) {
            std::size_t count = data_[0];
            if (count > PICTURE_SIZE - filled) return fail();
            std::memset(picture.Bits + filled, data_[1], count);
            filled += count;
        }
        return filled == PICTURE_SIZE ? *this : fail();
    }

  private:
    bool take(void *out, std::size_t size) {
        if (!ok_ || size > left_) return false;
        std::memcpy(out, data_, size);
        data_ += size;
        left_ -= size;
        return true;
    }
    Body &fail() {
        ok_ = false;
        return *this;
    }

    const uint8_t *data_;
    std::size_t left_;
    Loaded &loaded_;
    bool ok_ = true;
};

bool read_body(ObjectKind kind, void *object, Body &body) {
    switch (kind) {
        case okGroup: {
            auto *group = static_cast<Group *>(object);
            body.text(group->Name).reference(object, kind, offsetof(Group, Parent));
            break;
        }
        case okComplex: {
            auto *complex = static_cast<Complex *>(object);
            body.text(complex->Name)
                .reference(object, kind, offsetof(Complex, Picture))
                .reference(object, kind, offsetof(Complex, Group));
            break;
        }
        case okFormula: {
            auto *formula = static_cast<Formula *>(object);
            body.text(formula->Description)
                .text(formula->Content)
                .reference(object, kind, offsetof(Formula, Picture))
                .reference(object, kind, offsetof(Formula, Group))
                .reference(object, kind, offsetof(Formula, Complex));
            break;
        }
        case okDimensionClass:
            body.bytes(static_cast<DimensionClass *>(object)->Exponent, 9);
            break;
        case okQuantity:
            body.text(static_cast<Quantity *>(object)->Name)
                .reference(object, kind, offsetof(Quantity, DimensionClass));
            break;
        case okMeasure: {
            auto *measure = static_cast<Measure *>(object);
            body.text(measure->Name)
                .text(measure->Mark)
                .real(measure->Coefficient)
                .reference(object, kind, offsetof(Measure, DimensionClass));
            break;
        }
        case okTie:
            body.reference(object, kind, offsetof(Tie, Quantity))
                .reference(object, kind, offsetof(Tie, Measure));
            break;
        case okConstant: {
            auto *constant = static_cast<Constant *>(object);
            body.text(constant->Name)
                .text(constant->Mark)
                .real(constant->Value)
                .reference(object, kind, offsetof(Constant, Tie));
            break;
        }
        case okVariable: {
            auto *variable = static_cast<Variable *>(object);
            body.text(variable->Description)
                .text(variable->Mark)
                .reference(object, kind, offsetof(Variable, Complex))
                .reference(object, kind, offsetof(Variable, Formula))
                .reference(object, kind, offsetof(Variable, Tie));
            break;
        }
        case okPicture:
            body.picture(*static_cast<Picture *>(object));
            break;
        default:
            return false;
    }
    return body.finished();
}

bool read_records(const std::vector<uint8_t> &file, Loaded &loaded) {
    std::size_t position = sizeof kSignature;
    while (position < file.size()) {
        const uint8_t *record = file.data() + position;
        std::size_t left = file.size() - position;
        if (left < 7) return false;
        std::size_t length = read_u16(record);
        ObjectKind kind = record[2];
        int32_t identifier = read_i32(record + 3);
        if (length < 7 || length > kMaxRecord || length > left || !valid_kind(kind) || identifier == 0)
            return false;
        if (loaded.objects[kind].size() >= kListLimit) return false;
        RecordPtr object(allocate_record(kind));
        Body body(record + 7, length - 7, loaded);
        if (!read_body(kind, object.get(), body)) return false;
        if (!loaded.identifiers[kind].emplace(identifier, object.get()).second) return false;
        loaded.objects[kind].push_back(std::move(object));
        position += length;
    }
    return true;
}

bool resolve_references(Loaded &loaded) {
    for (const Pending &reference : loaded.pending) {
        auto &targets = loaded.identifiers[reference.field->target];
        auto target = targets.find(reference.identifier);
        if (target == targets.end()) return false;
        set_reference(reference.holder, *reference.field, target->second);
    }
    return true;
}

// Walks every chain of parents once; a chain that comes back to a group
// still on the walk is a cycle.
template <class ParentOf>
void find_cycles(const std::vector<void *> &groups, ParentOf parent_of, auto on_cycle) {
    enum Mark : uint8_t { kOnWalk = 1, kDone = 2 };
    HashMap<const void *, uint8_t> marks;
    std::vector<void *> walk;
    for (void *start : groups) {
        walk.clear();
        for (void *group = start; group && !marks.contains(group); group = parent_of(group)) {
            marks[group] = kOnWalk;
            walk.push_back(group);
        }
        void *end = walk.empty() ? nullptr : parent_of(walk.back());
        if (end && marks[end] == kOnWalk) on_cycle(std::find(walk.begin(), walk.end(), end), walk.end());
        for (void *group : walk) marks[group] = kDone;
    }
}

bool has_parent_cycle(const Loaded &loaded) {
    std::vector<void *> groups;
    for (const auto &group : loaded.objects[okGroup]) groups.push_back(group.get());
    bool cycle = false;
    find_cycles(
        groups, [](void *group) -> void * { return static_cast<Group *>(group)->Parent; },
        [&](auto, auto) { cycle = true; });
    return cycle;
}

struct FileCloser {
    int fd;
    ~FileCloser() { ::close(fd); }
};

FileStamp stamp_of(const struct stat &status) {
    return {status.st_dev, status.st_ino, status.st_size,
            static_cast<int64_t>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec};
}

bool read_whole(int fd, std::vector<uint8_t> &bytes) {
    uint8_t chunk[65536];
    for (;;) {
        ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;
        if (got == 0) return true;
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
}

uint16_t read_base(OpenBase &base, const std::string &name) {
    // The file is opened for writing too, as a base that cannot be written
    // back is treated like a missing one.
    int fd = name.empty() ? -1 : ::open(name.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        base.file_name = kDefaultName;
        return kCannotOpen;
    }
    FileCloser closer{fd};
    std::vector<uint8_t> file;
    struct stat status;
    if (!read_whole(fd, file) || ::fstat(fd, &status) != 0) {
        base.file_name = kDefaultName;
        return kCannotOpen;
    }
    base.file_name = name;
    if (file.size() < sizeof kSignature || std::memcmp(file.data(), kSignature, sizeof kSignature) != 0)
        return kNotABase;
    Loaded loaded;
    if (!read_records(file, loaded) || !resolve_references(loaded) || has_parent_cycle(loaded))
        return kNotABase;
    for (int kind = okGroup; kind <= okPicture; ++kind)
        for (auto &object : loaded.objects[kind]) base.adopt(static_cast<ObjectKind>(kind), object.release());
    base.read_stamp = stamp_of(status);
    return kRead;
}

// ---- writing -------------------------------------------------------------

class Writer {
  public:
    std::vector<uint8_t> bytes;

    void raw(const void *data, std::size_t size) {
        auto *p = static_cast<const uint8_t *>(data);
        bytes.insert(bytes.end(), p, p + size);
    }
    void u16(uint16_t value) {
        bytes.push_back(static_cast<uint8_t>(value));
        bytes.push_back(static_cast<uint8_t>(value >> 8));
    }
    void i32(int32_t value) {
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<uint8_t>(static_cast<uint32_t>(value) >> shift));
    }
    // A field filled to its very end has no terminator; the file holds at
    // most capacity - 1 characters, so such a text loses its last one.
    template <std::size_t N>
    void text(const char (&field)[N]) {
        std::string_view value = field_text(field).substr(0, N - 1);
        bytes.push_back(static_cast<uint8_t>(value.size()));
        raw(value.data(), value.size());
    }
    void real(const long double &value) { raw(&value, 10); }
};

class BaseWriter {
  public:
    explicit BaseWriter(OpenBase &base) : base_(base) {}

    // The file's bytes; pictures a record cannot hold are left out.
    std::vector<uint8_t> write(bool &pictures_left_out) {
        encode_pictures();
        pictures_left_out = left_out_;
        number_objects();
        cut_parent_cycles();
        out_.raw(kSignature, sizeof kSignature);
        for (int kind = okGroup; kind <= okPicture; ++kind) write_kind(static_cast<ObjectKind>(kind));
        return std::move(out_.bytes);
    }

  private:
    void encode_pictures() {
        for (void *picture : base_.list(okPicture).items()) {
            auto block = encode_picture(*static_cast<const Picture *>(picture));
            if (block)
                blocks_.emplace(picture, std::move(*block));
            else
                left_out_ = true;
        }
    }

    // Identifiers are list positions from 1; an object that is not written
    // has none, and references to it are written as nil.
    void number_objects() {
        for (int kind = okGroup; kind <= okPicture; ++kind) {
            int32_t next = 1;
            for (void *object : base_.list(static_cast<ObjectKind>(kind)).items())
                if (kind != okPicture || blocks_.contains(object)) identifiers_[kind].emplace(object, next++);
        }
    }

    // In-place edits can close a chain of parents into a ring, which the
    // reader rejects; the ring's first group in list order is written at the
    // top level instead.
    void cut_parent_cycles() {
        auto parent_of = [this](void *group) -> void * {
            void *parent = static_cast<Group *>(group)->Parent;
            return identifiers_[okGroup].contains(parent) ? parent : nullptr;
        };
        find_cycles(base_.list(okGroup).items(), parent_of, [this](auto first, auto last) {
            void *cut = *std::min_element(first, last, [this](void *a, void *b) {
                return identifiers_[okGroup][a] < identifiers_[okGroup][b];
            });
            cut_.insert(cut);
        });
    }

    int32_t identifier(ObjectKind kind, const void *object) const {
        auto found = identifiers_[kind].find(object);
        return found == identifiers_[kind].end() ? 0 : found->second;
    }

    void write_kind(ObjectKind kind) {
        for (void *object : base_.list(kind).items()) {
            int32_t id = identifier(kind, object);
            if (id == 0) continue;
            std::size_t start = out_.bytes.size();
            out_.u16(0);
            out_.bytes.push_back(kind);
            out_.i32(id);
            write_body(kind, object);
            std::size_t length = out_.bytes.size() - start;
            out_.bytes[start] = static_cast<uint8_t>(length);
            out_.bytes[start + 1] = static_cast<uint8_t>(length >> 8);
        }
    }

    void write_body(ObjectKind kind, void *object) {
        switch (kind) {
            case okGroup: {
                auto *group = static_cast<Group *>(object);
                out_.text(group->Name);
                out_.i32(cut_.contains(group) ? 0 : identifier(okGroup, group->Parent));
                break;
            }
            case okComplex: {
                auto *complex = static_cast<Complex *>(object);
                out_.text(complex->Name);
                out_.i32(identifier(okPicture, complex->Picture));
                out_.i32(identifier(okGroup, complex->Group));
                break;
            }
            case okFormula: {
                auto *formula = static_cast<Formula *>(object);
                out_.text(formula->Description);
                out_.text(formula->Content);
                out_.i32(identifier(okPicture, formula->Picture));
                out_.i32(identifier(okGroup, formula->Group));
                out_.i32(identifier(okComplex, formula->Complex));
                break;
            }
            case okDimensionClass:
                out_.raw(static_cast<DimensionClass *>(object)->Exponent, 9);
                break;
            case okQuantity: {
                auto *quantity = static_cast<Quantity *>(object);
                out_.text(quantity->Name);
                out_.i32(identifier(okDimensionClass, quantity->DimensionClass));
                break;
            }
            case okMeasure: {
                auto *measure = static_cast<Measure *>(object);
                out_.text(measure->Name);
                out_.text(measure->Mark);
                out_.real(measure->Coefficient);
                out_.i32(identifier(okDimensionClass, measure->DimensionClass));
                break;
            }
            case okTie: {
                auto *tie = static_cast<Tie *>(object);
                out_.i32(identifier(okQuantity, tie->Quantity));
                out_.i32(identifier(okMeasure, tie->Measure));
                break;
            }
            case okConstant: {
                auto *constant = static_cast<Constant *>(object);
                out_.text(constant->Name);
                out_.text(constant->Mark);
                out_.real(constant->Value);
                out_.i32(identifier(okTie, constant->Tie));
                break;
            }
            case okVariable: {
                auto *variable = static_cast<Variable *>(object);
                out_.text(variable->Description);
                out_.text(variable->Mark);
                out_.i32(identifier(okComplex, variable->Complex));
                out_.i32(identifier(okFormula, variable->Formula));
                out_.i32(identifier(okTie, variable->Tie));
                break;
            }
            case okPicture:
                out_.raw(blocks_[object].data(), blocks_[object].size());
                break;
            default:
                break;
        }
    }

    OpenBase &base_;
    Writer out_;
    HashMap<const void *, std::vector<uint8_t>> blocks_;
    std::array<HashMap<const void *, int32_t>, kKindCount + 1> identifiers_;
    HashSet<const void *> cut_;
    bool left_out_ = false;
};

bool write_all(int fd, const std::vector<uint8_t> &bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        done += static_cast<std::size_t>(put);
    }
    return ::fsync(fd) == 0;
}

// A fresh file beside the target, created with the default permissions.
int create_beside(const std::string &target, std::string &temporary) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = target + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Replaces the target as a whole or not at all: the bytes go to a temporary
// file that is flushed and then renamed over the target.
uint16_t replace_file(const OpenBase &base, const std::vector<uint8_t> &bytes) {
    std::string target = base.file_name;
    if (target.empty()) return kCannotWrite;
    struct stat status;
    bool exists = ::stat(target.c_str(), &status) == 0;
    if (!exists && errno != ENOENT) return kCannotWrite;
    if (exists && (!base.read_stamp || stamp_of(status) != *base.read_stamp)) return kForeignFile;
    if (exists) {
        // Write through a symbolic link rather than replace the link.
        char resolved[PATH_MAX];
        if (::realpath(target.c_str(), resolved)) target = resolved;
    }
    std::string temporary;
    int fd = create_beside(target, temporary);
    if (fd < 0) return kCannotWrite;
    bool written = write_all(fd, bytes) && (!exists || ::fchmod(fd, status.st_mode & 07777) == 0);
    written = ::close(fd) == 0 && written;
    if (!written || ::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return kCannotWrite;
    }
    return kRead;
}

}  // namespace

// ---- the open base -------------------------------------------------------

OpenBase::OpenBase() {
    for (int kind = okGroup; kind <= okPicture; ++kind)
        lists_[kind - 1] = std::make_unique<KindList>(static_cast<ObjectKind>(kind));
}

OpenBase::~OpenBase() {
    for (auto &list : lists_)
        for (void *object : list->release()) free_record(object);
    for (void *object : removed_) free_record(object);
}

bool OpenBase::contains(ObjectKind kind, const void *object) const {
    auto member = members_.find(object);
    return member != members_.end() && member->second == kind;
}

void OpenBase::adopt(ObjectKind kind, void *object) {
    list(kind).append(object);
    members_.emplace(object, kind);
    removed_.erase(object);
}

void OpenBase::take_out(const std::array<HashSet<void *>, kKindCount + 1> &removed, const void *keep) {
    for (int kind = okGroup; kind <= okPicture; ++kind) {
        const auto &objects = removed[kind];
        if (objects.empty()) continue;
        list(static_cast<ObjectKind>(kind)).remove_if([&](void *object) { return objects.contains(object); });
        for (void *object : objects) {
            if (!contains(static_cast<ObjectKind>(kind), object)) continue;
            members_.erase(object);
            if (object != keep) removed_.insert(object);
        }
    }
}

OpenBase *current_base() {
    return g_base.get();
}
uint16_t last_result() {
    return g_last_result;
}

void open_base(const char *file_name) {
    if (g_base) close_base();
    g_base = std::make_unique<OpenBase>();
    g_last_result = read_base(*g_base, file_name ? file_name : "");
}

void close_base() {
    if (!g_base) return;
    bool pictures_left_out = false;
    std::vector<uint8_t> bytes = BaseWriter(*g_base).write(pictures_left_out);
    g_last_result = replace_file(*g_base, bytes);
    if (g_last_result == kRead && pictures_left_out) g_last_result = kPicturesLeftOut;
    g_base.reset();
}

bool add_to_base(ObjectKind kind, void *object) {
    OpenBase *base = g_base.get();
    if (!base || !valid_kind(kind) || !object || base->contains(object)) return false;
    KindList &list = base->list(kind);
    if (list.full()) return false;
    if (kind == okPicture) {
        if (picture_pairs(*static_cast<const Picture *>(object)) > kMaxPicturePairs) return false;
    } else {
        std::string key;
        identity_key(kind, object, key);
        if (list.find(key)) return false;
    }
    base->adopt(kind, object);
    return true;
}

void change_base_name(const char *file_name) {
    if (g_base) g_base->file_name = file_name ? file_name : "";
}

void dispose_object(void **object) {
    if (!object || !*object) return;
    if (g_base) {
        if (g_base->contains(*object)) return;  // still owned by the base
        g_base->forget_removed(*object);
    }
    free_record(*object);
    *object = nullptr;
}

std::size_t picture_pairs(const Picture &picture) {
    std::size_t pairs = 0;
    for (std::size_t i = 0; i < PICTURE_SIZE;) {
        std::size_t run = 1;
        while (i + run < PICTURE_SIZE && run < 255 && picture.Bits[i + run] == picture.Bits[i]) ++run;
        ++pairs;
        i += run;
    }
    return pairs;
}

std::optional<std::vector<uint8_t>> encode_picture(const Picture &picture) {
    std::size_t pairs = picture_pairs(picture);
    if (pairs > kMaxPicturePairs) return std::nullopt;
    std::vector<uint8_t> block;
    block.reserve(2 + 2 * pairs);
    std::size_t length = 2 + 2 * pairs;
    block.push_back(static_cast<uint8_t>(length));
    block.push_back(static_cast<uint8_t>(length >> 8));
    for (std::size_t i = 0; i < PICTURE_SIZE;) {
        std::size_t run = 1;
        while (i + run < PICTURE_SIZE && run < 255 && picture.Bits[i + run] == picture.Bits[i]) ++run;
        block.push_back(static_cast<uint8_t>(run));
        block.push_back(picture.Bits[i]);
        i += run;
    }
    return block;
}

}  // namespace base
