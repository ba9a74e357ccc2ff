#include "textform.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "base.h"
#include "base_view.h"
#include "encoding.h"
#include "reals.h"

namespace textbase {
namespace {

// Keys keep the order in which they are written, so the output reads in
// the order of the document's description.
using Json = nlohmann::ordered_json;

constexpr int kFormatVersion = 1;
constexpr char kMarker[] = "tessarin-base";
constexpr size_t kMaxListLength = 65535;

// Arrays in the order they are written and read: every reference points
// to an array that comes earlier, except a group's parent.
constexpr std::array<ObjectKind, kKindCount> kDocumentOrder = {
    okGroup,    okPicture, okComplex, okFormula,  okDimensionClass,
    okQuantity, okMeasure, okTie,     okConstant, okVariable};

// ---------------------------------------------------------------- base64

constexpr char kBase64Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string base64_encode(const uint8_t *data, size_t size) {
    std::string out;
    out.reserve((size + 2) / 3 * 4);
    for (size_t i = 0; i < size; i += 3) {
        const uint32_t chunk = (uint32_t{data[i]} << 16) | (i + 1 < size ? uint32_t{data[i + 1]} << 8 : 0) |
                               (i + 2 < size ? uint32_t{data[i + 2]} : 0);
        out += kBase64Alphabet[(chunk >> 18) & 63];
        out += kBase64Alphabet[(chunk >> 12) & 63];
        out += i + 1 < size ? kBase64Alphabet[(chunk >> 6) & 63] : '=';
        out += i + 2 < size ? kBase64Alphabet[chunk & 63] : '=';
    }
    return out;
}

// Strict: the canonical encoding only, so that every picture has one text.
std::optional<std::vector<uint8_t>> base64_decode(std::string_view text) {
    if (text.size() % 4 != 0) return std::nullopt;
    std::vector<uint8_t> out;
    out.reserve(text.size() / 4 * 3);
    for (size_t i = 0; i < text.size(); i += 4) {
        uint32_t chunk = 0;
        int padding = 0;
        for (size_t j = 0; j < 4; ++j) {
            const char c = text[i + j];
            const char *at = c == '\0' ? nullptr : std::strchr(kBase64Alphabet, c);
            const bool last_block = i + 4 == text.size();
            if (c == '=' && last_block && j >= 2 && (j == 3 || text[i + 3] == '=')) {
                ++padding;
                chunk <<= 6;
            } else if (at && padding == 0) {
                chunk = (chunk << 6) | static_cast<uint32_t>(at - kBase64Alphabet);
            } else {
                return std::nullopt;
            }
        }
        out.push_back(static_cast<uint8_t>(chunk >> 16));
        if (padding < 2) out.push_back(static_cast<uint8_t>(chunk >> 8));
        if (padding < 1) out.push_back(static_cast<uint8_t>(chunk));
    }
    return out;
}

// ---------------------------------------------------------------- layout

// One line per value: objects and arrays inline with a blank after each
// separator, numbers of a dimension packed.
void write_inline(const Json &value, std::string &out) {
    if (value.is_object()) {
        out += '{';
        bool first = true;
        for (const auto &[key, item] : value.items()) {
            if (!first) out += ", ";
            first = false;
            out += Json(key).dump();
            out += ": ";
            write_inline(item, out);
        }
        out += '}';
    } else if (value.is_array()) {
        out += '[';
        for (size_t i = 0; i < value.size(); ++i) {
            if (i > 0) out += value[i].is_number() ? "," : ", ";
            write_inline(value[i], out);
        }
        out += ']';
    } else {
        out += value.dump();
    }
}

std::string write_document(const Json &document) {
    std::string out = "{\n";
    bool first = true;
    for (const auto &[key, value] : document.items()) {
        if (!first) out += ",\n";
        first = false;
        out += "  " + Json(key).dump() + ": ";
        if (!value.is_array() || value.empty()) {
            write_inline(value, out);
            continue;
        }
        out += "[\n";
        for (size_t i = 0; i < value.size(); ++i) {
            out += "    ";
            write_inline(value[i], out);
            out += i + 1 < value.size() ? ",\n" : "\n";
        }
        out += "  ]";
    }
    out += "\n}\n";
    return out;
}

// ---------------------------------------------------------------- export

class Exporter {
  public:
    std::string run() {
        refuse_clashes();
        name_pictures();
        Json document;
        document[kMarker] = kFormatVersion;
        for (ObjectKind kind : kDocumentOrder) {
            Json array = Json::array();
            const auto &objects = base_.objects(kind);
            for (size_t i = 0; i < objects.size(); ++i) {
                where_ = std::string(array_name(kind)) + "[" + std::to_string(i) + "]";
                array.push_back(object(kind, objects[i]));
            }
            document[std::string(array_name(kind))] = std::move(array);
        }
        return write_document(document);
    }

  private:
    // References are written as keys, so two objects with one key would
    // read back as one.
    void refuse_clashes() const {
        for (int k = 1; k <= kKindCount; ++k) {
            const auto kind = static_cast<ObjectKind>(k);
            std::unordered_map<std::string, size_t> seen;
            const auto &objects = base_.objects(kind);
            for (size_t i = 0; i < objects.size(); ++i) {
                const auto key = identity_key(kind, objects[i]);
                if (!key) continue;
                const auto [at, fresh] = seen.emplace(*key, i);
                if (!fresh) {
                    throw ExportError(std::string(array_name(kind)) + "[" + std::to_string(i) +
                                      "] clashes with " + std::string(array_name(kind)) + "[" +
                                      std::to_string(at->second) + "] (" + std::string(identity_rule(kind)) +
                                      "); the text form could not tell them apart");
                }
            }
        }
    }

    void name_pictures() {
        const auto &pictures = base_.objects(okPicture);
        for (size_t i = 0; i < pictures.size(); ++i)
            picture_ids_.emplace(pictures[i], "p" + std::to_string(i + 1));
    }

    [[noreturn]] void fail(std::string_view key, const std::string &message) const {
        throw ExportError(where_ + "." + std::string(key) + ": " + message);
    }

    template <size_t N>
    Json text(const char (&field)[N], std::string_view key) const {
        try {
            return cp1251_to_utf8(field_text(field));
        } catch (const EncodingError &e) {
            fail(key, e.what());
        }
    }

    Json real(long double value, std::string_view key) const {
        const auto written = format_real(value);
        if (!written) fail(key, "the value has no text that reads back to the same bits");
        return *written;
    }

    void require_in_base(ObjectKind kind, const void *object, std::string_view key) const {
        if (!base_.contains(kind, object)) {
            fail(key, "refers to " + std::string(array_name(kind)) + " outside the base");
        }
    }

    Json group_ref(const Group *group, std::string_view key) const {
        if (!group) return nullptr;
        require_in_base(okGroup, group, key);
        return text(group->Name, key);
    }

    Json picture_ref(const Picture *picture, std::string_view key) const {
        if (!picture) return nullptr;
        require_in_base(okPicture, picture, key);
        return picture_ids_.at(picture);
    }

    Json complex_ref(const Complex *complex, std::string_view key) const {
        if (!complex) return nullptr;
        require_in_base(okComplex, complex, key);
        Json ref;
        ref["group"] = group_ref(complex->Group, key);
        ref["name"] = text(complex->Name, key);
        return ref;
    }

    Json formula_ref(const Formula *formula, std::string_view key) const {
        if (!formula) return nullptr;
        require_in_base(okFormula, formula, key);
        Json ref;
        if (formula->Group || !formula->Complex) ref["group"] = group_ref(formula->Group, key);
        if (formula->Complex) ref["complex"] = complex_ref(formula->Complex, key);
        ref["content"] = text(formula->Content, key);
        return ref;
    }

    Json dimension_ref(const DimensionClass *dimension, std::string_view key) const {
        if (!dimension) return nullptr;
        require_in_base(okDimensionClass, dimension, key);
        return exponents(*dimension);
    }

    static Json exponents(const DimensionClass &dimension) {
        Json array = Json::array();
        for (int8_t e : dimension.Exponent) array.push_back(int{e});
        return array;
    }

    Json quantity_ref(const Quantity *quantity, std::string_view key) const {
        if (!quantity) return nullptr;
        require_in_base(okQuantity, quantity, key);
        return text(quantity->Name, key);
    }

    Json measure_ref(const Measure *measure, std::string_view key) const {
        if (!measure) return nullptr;
        require_in_base(okMeasure, measure, key);
        return text(measure->Mark, key);
    }

    Json tie_ref(const Tie *tie, std::string_view key) const {
        if (!tie) return nullptr;
        require_in_base(okTie, tie, key);
        Json ref;
        ref["quantity"] = quantity_ref(tie->Quantity, key);
        ref["measure"] = measure_ref(tie->Measure, key);
        return ref;
    }

    Json object(ObjectKind kind, const void *object) const {
        Json o;
        switch (kind) {
            case okGroup: {
                const auto *g = static_cast<const Group *>(object);
                o["name"] = text(g->Name, "name");
                o["parent"] = group_ref(g->Parent, "parent");
                break;
            }
            case okPicture: {
                const auto *p = static_cast<const Picture *>(object);
                o["id"] = picture_ids_.at(p);
                o["bits"] = base64_encode(p->Bits, PICTURE_SIZE);
                break;
            }
            case okComplex: {
                const auto *c = static_cast<const Complex *>(object);
                o["name"] = text(c->Name, "name");
                o["group"] = group_ref(c->Group, "group");
                o["picture"] = picture_ref(c->Picture, "picture");
                break;
            }
            case okFormula: {
                const auto *f = static_cast<const Formula *>(object);
                o["description"] = text(f->Description, "description");
                o["content"] = text(f->Content, "content");
                o["group"] = group_ref(f->Group, "group");
                o["complex"] = complex_ref(f->Complex, "complex");
                o["picture"] = picture_ref(f->Picture, "picture");
                break;
            }
            case okDimensionClass:
                return exponents(*static_cast<const DimensionClass *>(object));
            case okQuantity: {
                const auto *q = static_cast<const Quantity *>(object);
                o["name"] = text(q->Name, "name");
                o["dimension"] = dimension_ref(q->DimensionClass, "dimension");
                break;
            }
            case okMeasure: {
                const auto *m = static_cast<const Measure *>(object);
                o["mark"] = text(m->Mark, "mark");
                o["name"] = text(m->Name, "name");
                o["coefficient"] = real(m->Coefficient, "coefficient");
                o["dimension"] = dimension_ref(m->DimensionClass, "dimension");
                break;
            }
            case okTie: {
                const auto *t = static_cast<const Tie *>(object);
                o["quantity"] = quantity_ref(t->Quantity, "quantity");
                o["measure"] = measure_ref(t->Measure, "measure");
                break;
            }
            case okConstant: {
                const auto *c = static_cast<const Constant *>(object);
                o["mark"] = text(c->Mark, "mark");
                o["name"] = text(c->Name, "name");
                o["value"] = real(c->Value, "value");
                o["tie"] = tie_ref(c->Tie, "tie");
                break;
            }
            case okVariable: {
                const auto *v = static_cast<const Variable *>(object);
                o["mark"] = text(v->Mark, "mark");
                o["description"] = text(v->Description, "description");
                o["tie"] = tie_ref(v->Tie, "tie");
                o["formula"] = formula_ref(v->Formula, "formula");
                o["complex"] = complex_ref(v->Complex, "complex");
                break;
            }
            default:
                break;
        }
        return o;
    }

    BaseSnapshot base_;
    std::unordered_map<const void *, std::string> picture_ids_;
    std::string where_;
};

// ---------------------------------------------------------------- parsing

std::string json_quoted(std::string_view utf8) {
    return Json(std::string(utf8)).dump();
}

// Where a JSON syntax error sits, counted from the start of the text.
std::string line_and_column(std::string_view text, size_t byte) {
    byte = std::min(byte, text.size());
    size_t line = 1, column = 1;
    for (size_t i = 0; i + 1 < byte; ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    return std::to_string(line) + ":" + std::to_string(column);
}

// The library's message without its own prefix and position.
std::string parse_error_reason(const std::string &what) {
    const size_t column = what.find("column ");
    const size_t colon = what.find(": ", column == std::string::npos ? 0 : column);
    std::string reason = colon == std::string::npos ? what : what.substr(colon + 2);
    // The library quotes the whole last token, which may be a picture's 9600 characters.
    constexpr size_t kLongest = 200;
    if (reason.size() > kLongest) reason = reason.substr(0, kLongest) + "...";
    return reason;
}

// nlohmann keeps the last of two equal keys; here that is an error, since
// one of the two values would be lost without a word.
class DuplicateKeyGuard {
  public:
    explicit DuplicateKeyGuard(const Document &document) : document_(document) {}

    bool operator()(int, Json::parse_event_t event, Json &parsed) {
        using Event = Json::parse_event_t;
        switch (event) {
            case Event::object_start:
            case Event::array_start:
                enter_value();
                frames_.push_back({event == Event::array_start, {}, -1, {}});
                break;
            case Event::object_end:
            case Event::array_end:
                frames_.pop_back();
                break;
            case Event::key: {
                auto key = parsed.get<std::string>();
                if (!frames_.back().keys.insert(key).second) {
                    throw InputError(document_.name + ": " + path() + key + ": the key appears twice");
                }
                frames_.back().key = std::move(key);
                break;
            }
            case Event::value:
                enter_value();
                break;
        }
        return true;
    }

  private:
    struct Frame {
        bool array;
        std::string key;
        long index;
        std::unordered_set<std::string> keys;
    };

    void enter_value() {
        if (!frames_.empty() && frames_.back().array) ++frames_.back().index;
    }

    // The path of the innermost object, ready for a key to be appended.
    std::string path() const {
        std::string out;
        for (size_t i = 0; i + 1 < frames_.size(); ++i) {
            if (frames_[i].array) {
                out += "[" + std::to_string(frames_[i].index) + "]";
            } else {
                out += (out.empty() ? "" : ".") + frames_[i].key;
            }
        }
        return out.empty() ? out : out + ".";
    }

    const Document &document_;
    std::vector<Frame> frames_;
};

Json parse_document(const Document &document) {
    try {
        DuplicateKeyGuard guard(document);
        return Json::parse(document.text, std::ref(guard));
    } catch (const nlohmann::json::parse_error &e) {
        throw InputError(document.name + ":" + line_and_column(document.text, e.byte) +
                         ": malformed JSON: " + parse_error_reason(e.what()));
    }
}

// ---------------------------------------------------------------- import

// Records made for the import, disposed of unless the base took them.
class PendingObjects {
  public:
    PendingObjects() = default;
    PendingObjects(const PendingObjects &) = delete;
    PendingObjects &operator=(const PendingObjects &) = delete;
    ~PendingObjects() {
        for (auto &list : lists_) {
            for (void *object : list) DisposeObject(&object);
        }
    }

    template <typename Record>
    Record *make(ObjectKind kind) {
        void *object = NewObject(kind);
        if (!object)
            throw InputError("the base library cannot make an object of kind " + std::to_string(kind));
        lists_[kind - 1].push_back(object);
        return static_cast<Record *>(object);
    }

    std::vector<void *> &list(ObjectKind kind) { return lists_[kind - 1]; }

    // Hands everything to the base, kind by kind in list order; on a refusal
    // takes back what was added, so the base is as it was.
    void add_all_to_base() {
        std::vector<std::pair<ObjectKind, void *>> added;
        for (int k = 1; k <= kKindCount; ++k) {
            const auto kind = static_cast<ObjectKind>(k);
            for (void *object : lists_[k - 1]) {
                if (AddToBase(kind, object) == 0) {
                    // Removal cascades only into objects of this import, which
                    // are removed here anyway; each is left alone if already out.
                    for (auto it = added.rbegin(); it != added.rend(); ++it)
                        RemoveFromBase(it->first, &it->second);
                    throw InputError("the base refused an object of " + std::string(array_name(kind)) +
                                     " that matches no other");
                }
                added.emplace_back(kind, object);
            }
        }
        for (auto &list : lists_) list.clear();
    }

  private:
    std::array<std::vector<void *>, kKindCount> lists_;
};

// A position in the input: "a.json: formulas[3].complex.group".
struct Where {
    const Document *document;
    ObjectKind kind;
    size_t index;
    std::string path;

    Where at(std::string_view key) const {
        return {document, kind, index, path.empty() ? std::string(key) : path + "." + std::string(key)};
    }
    std::string object() const {
        return document->name + ": " + std::string(array_name(kind)) + "[" + std::to_string(index) + "]";
    }
    std::string text() const { return object() + (path.empty() ? "" : "." + path); }
    [[noreturn]] void fail(const std::string &message) const { throw InputError(text() + ": " + message); }
};

class Importer {
  public:
    Importer(std::span<const Document> documents, Origins *origins) : origins_(origins) {
        for (const Document &document : documents) parsed_.push_back({&document, parse_document(document)});
    }

    void run() {
        for (const auto &parsed : parsed_) check_shape(parsed);
        index_base();
        read_groups();
        for_each_element(okPicture, [&](const Json &e, const Where &w) { read_picture(e, w); });
        for_each_element(okComplex, [&](const Json &e, const Where &w) { read_complex(e, w); });
        for_each_element(okFormula, [&](const Json &e, const Where &w) { read_formula(e, w); });
        for_each_element(okDimensionClass, [&](const Json &e, const Where &w) { read_dimension(e, w); });
        for_each_element(okQuantity, [&](const Json &e, const Where &w) { read_quantity(e, w); });
        for_each_element(okMeasure, [&](const Json &e, const Where &w) { read_measure(e, w); });
        for_each_element(okTie, [&](const Json &e, const Where &w) { read_tie(e, w); });
        for_each_element(okConstant, [&](const Json &e, const Where &w) { read_constant(e, w); });
        for_each_element(okVariable, [&](const Json &e, const Where &w) { read_variable(e, w); });
        check_list_lengths();
        pending_.add_all_to_base();
        if (origins_) *origins_ = std::move(new_origins_);
    }

  private:
    struct Parsed {
        const Document *document;
        Json json;
    };
    // An object an identity key or a picture id already stands for.
    struct Known {
        void *object;
        std::string where;
    };

    static const Json *find(const Json &object, std::string_view key) {
        const auto it = object.find(std::string(key));
        return it == object.end() ? nullptr : &*it;
    }

    void check_shape(const Parsed &parsed) const {
        const std::string &name = parsed.document->name;
        if (!parsed.json.is_object()) throw InputError(name + ": the document is not a JSON object");
        const Json *marker = find(parsed.json, kMarker);
        if (!marker) throw InputError(name + ": the key \"" + std::string(kMarker) + "\" is missing");
        if (!marker->is_number_integer() || *marker != kFormatVersion) {
            throw InputError(name + ": " + kMarker + ": expected 1, the only version of the text form");
        }
        for (const auto &[key, value] : parsed.json.items()) {
            if (key == kMarker) continue;
            const auto kind = kind_of_array(key);
            if (!kind) throw InputError(name + ": " + key + ": unknown key");
            if (!value.is_array()) throw InputError(name + ": " + key + ": expected an array");
        }
    }

    static std::optional<ObjectKind> kind_of_array(std::string_view key) {
        for (int k = 1; k <= kKindCount; ++k) {
            if (array_name(static_cast<ObjectKind>(k)) == key) return static_cast<ObjectKind>(k);
        }
        return std::nullopt;
    }

    template <typename Read>
    void for_each_element(ObjectKind kind, Read read) {
        for (const auto &parsed : parsed_) {
            const Json *array = find(parsed.json, array_name(kind));
            if (!array) continue;
            for (size_t i = 0; i < array->size(); ++i) {
                read((*array)[i], Where{parsed.document, kind, i, {}});
                new_origins_[kind - 1].push_back({parsed.document->name, i});
            }
        }
    }

    // The objects already in the base are part of the identity rules and may be referred to.
    void index_base() {
        const BaseSnapshot base;
        for (int k = 1; k <= kKindCount; ++k) {
            const auto kind = static_cast<ObjectKind>(k);
            const auto &objects = base.objects(kind);
            existing_counts_[k - 1] = objects.size();
            for (size_t i = 0; i < objects.size(); ++i) {
                if (const auto key = identity_key(kind, objects[i])) {
                    known_[k - 1].emplace(
                        *key, Known{objects[i], "the base's " + std::string(array_name(kind)) + "[" +
                                                    std::to_string(i) + "]"});
                }
                if (kind == okGroup) settled_groups_.insert(static_cast<Group *>(objects[i]));
            }
        }
    }

    void check_list_lengths() const {
        for (int k = 1; k <= kKindCount; ++k) {
            const size_t total = existing_counts_[k - 1] + new_origins_[k - 1].size();
            if (total > kMaxListLength) {
                throw InputError("too many " + std::string(array_name(static_cast<ObjectKind>(k))) + ": " +
                                 std::to_string(total) + ", and a base holds at most 65535 of a kind");
            }
        }
    }

    // Registers a new object under its identity key, refusing a clash.
    void admit(ObjectKind kind, void *object, const Where &where) {
        const auto key = identity_key(kind, object);
        if (!key) return;
        const auto [at, fresh] = known_[kind - 1].emplace(*key, Known{object, where.object()});
        if (!fresh) {
            where.fail("clashes with " + at->second.where + " (" + std::string(identity_rule(kind)) + ")");
        }
    }

    template <typename Record>
    Record *lookup(ObjectKind kind, const std::string &key) const {
        const auto &known = known_[kind - 1];
        const auto it = known.find(key);
        return it == known.end() ? nullptr : static_cast<Record *>(it->second.object);
    }

    // ---- fields

    static void expect_object(const Json &element, const Where &where,
                              std::initializer_list<std::string_view> keys) {
        if (!element.is_object()) where.fail("expected an object");
        for (const auto &[key, value] : element.items()) {
            if (std::find(keys.begin(), keys.end(), key) == keys.end()) where.at(key).fail("unknown key");
        }
    }

    static const Json &required(const Json &object, std::string_view key, const Where &where) {
        const Json *value = find(object, key);
        if (!value) where.at(key).fail("the key is missing");
        return *value;
    }

    // The UTF-8 text of a key that must be a string.
    static std::string string_value(const Json &value, const Where &where) {
        if (!value.is_string()) where.fail("expected a text in quotes");
        return value.get<std::string>();
    }

    static std::string cp1251_value(const Json &value, const Where &where) {
        try {
            return utf8_to_cp1251(string_value(value, where));
        } catch (const EncodingError &e) {
            where.fail(e.what());
        }
    }

    // A missing text is the empty text.
    template <size_t N>
    static void read_text(const Json &object, std::string_view key, char (&field)[N], const Where &where) {
        const Json *value = find(object, key);
        if (!value) return;
        const Where at = where.at(key);
        const std::string text = cp1251_value(*value, at);
        if (text.size() > N - 1) {
            at.fail("the text has " + std::to_string(text.size()) +
                    " characters, and this field holds at most " + std::to_string(N - 1));
        }
        set_field(field, text);
    }

    static long double read_real(const Json &object, std::string_view key, const Where &where) {
        const Where at = where.at(key);
        const Json &value = required(object, key, where);
        if (!value.is_string()) at.fail("expected a decimal text in quotes, such as \"0.5\"");
        std::string why;
        const auto real = parse_real(value.get<std::string>(), why);
        if (!real) at.fail(why);
        return *real;
    }

    // ---- references; a missing reference is null

    Group *group_ref(const Json *value, const Where &where) const {
        if (!value || value->is_null()) return nullptr;
        const std::string name = cp1251_value(*value, where);
        auto *group = lookup<Group>(okGroup, group_key(name));
        if (!group) where.fail("no group named " + json_quoted(value->get<std::string>()));
        return group;
    }

    Picture *picture_ref(const Json *value, const Where &where) const {
        if (!value || value->is_null()) return nullptr;
        const std::string id = string_value(*value, where);
        const auto it = picture_ids_.find(id);
        if (it == picture_ids_.end()) where.fail("no picture with the id " + json_quoted(id));
        return static_cast<Picture *>(it->second.object);
    }

    Complex *complex_ref(const Json *value, const Where &where) const {
        if (!value || value->is_null()) return nullptr;
        expect_object(*value, where, {"group", "name"});
        Group *group = group_ref(find(*value, "group"), where.at("group"));
        const Where name_at = where.at("name");
        const Json &name = required(*value, "name", where);
        auto *complex = lookup<Complex>(okComplex, complex_key(group, cp1251_value(name, name_at)));
        if (!complex)
            where.fail("no complex named " + json_quoted(name.get<std::string>()) + in_group(group));
        return complex;
    }

    Formula *formula_ref(const Json *value, const Where &where) const {
        if (!value || value->is_null()) return nullptr;
        expect_object(*value, where, {"group", "complex", "content"});
        Group *group = group_ref(find(*value, "group"), where.at("group"));
        Complex *complex = complex_ref(find(*value, "complex"), where.at("complex"));
        const Where content_at = where.at("content");
        const Json &content = required(*value, "content", where);
        auto *formula =
            lookup<Formula>(okFormula, formula_key(group, complex, cp1251_value(content, content_at)));
        if (!formula) {
            where.fail("no formula " + json_quoted(content.get<std::string>()) +
                       (complex ? " in complex " + json_quoted(cp1251_to_utf8(field_text(complex->Name)))
                                : in_group(group)));
        }
        return formula;
    }

    static std::string in_group(const Group *group) {
        return group ? " in group " + json_quoted(cp1251_to_utf8(field_text(group->Name)))
                     : " outside every group";
    }

    static DimensionClass exponents(const Json &value, const Where &where) {
        if (!value.is_array() || value.size() != 9) where.fail("expected nine integers from -128 to 127");
        DimensionClass dimension{};
        for (size_t i = 0; i < 9; ++i) {
            const Json &e = value[i];
            if (!e.is_number_integer() || e.get<int64_t>() < -128 || e.get<int64_t>() > 127) {
                where.fail("expected nine integers from -128 to 127");
            }
            dimension.Exponent[i] = static_cast<int8_t>(e.get<int64_t>());
        }
        return dimension;
    }

    DimensionClass *dimension_ref(const Json *value, const Where &where) const {
        if (!value || value->is_null()) return nullptr;
        const DimensionClass wanted = exponents(*value, where);
        auto *dimension = lookup<DimensionClass>(okDimensionClass, dimension_key(wanted.Exponent));
        if (!dimension) where.fail("no entry of dimensions has the exponents " + value->dump());
        return dimension;
    }

    Quantity *quantity_ref(const Json *value, const Where &where) const {
        if (!value || value->is_null()) return nullptr;
        auto *quantity = lookup<Quantity>(okQuantity, quantity_key(cp1251_value(*value, where)));
        if (!quantity) where.fail("no quantity named " + json_quoted(value->get<std::string>()));
        return quantity;
    }

    Measure *measure_ref(const Json *value, const Where &where) const {
        if (!value || value->is_null()) return nullptr;
        auto *measure = lookup<Measure>(okMeasure, measure_key(cp1251_value(*value, where)));
        if (!measure) where.fail("no measure marked " + json_quoted(value->get<std::string>()));
        return measure;
    }

    Tie *tie_ref(const Json *value, const Where &where) const {
        if (!value || value->is_null()) return nullptr;
        expect_object(*value, where, {"quantity", "measure"});
        Quantity *quantity = quantity_ref(find(*value, "quantity"), where.at("quantity"));
        Measure *measure = measure_ref(find(*value, "measure"), where.at("measure"));
        auto *tie = lookup<Tie>(okTie, tie_key(quantity, measure));
        if (!tie) where.fail("no tie of that quantity with that measure");
        return tie;
    }

    // ---- kinds

    // Groups first by name, then their parents, which may come later in the
    // lists; a chain of parents must end at the top level.
    void read_groups() {
        std::vector<std::pair<Group *, Where>> children;
        for_each_element(okGroup, [&](const Json &e, const Where &w) {
            expect_object(e, w, {"name", "parent"});
            auto *group = pending_.make<Group>(okGroup);
            read_text(e, "name", group->Name, w);
            admit(okGroup, group, w);
            children.emplace_back(group, w);
        });
        for (auto &[group, where] : children) {
            const Json &element = element_at(where);
            group->Parent = group_ref(find(element, "parent"), where.at("parent"));
        }
        for (auto &[group, where] : children) refuse_parent_cycle(group, where);
    }

    const Json &element_at(const Where &where) const {
        for (const auto &parsed : parsed_) {
            if (parsed.document == where.document)
                return parsed.json[std::string(array_name(where.kind))][where.index];
        }
        throw InputError(where.text() + ": lost track of the element");
    }

    void refuse_parent_cycle(Group *group, const Where &where) {
        std::vector<Group *> chain;
        std::unordered_set<Group *> on_chain;
        for (Group *g = group; g && !settled_groups_.count(g); g = g->Parent) {
            if (!on_chain.insert(g).second) {
                where.at("parent").fail("the chain of parents comes back to " +
                                        json_quoted(cp1251_to_utf8(field_text(g->Name))));
            }
            chain.push_back(g);
        }
        settled_groups_.insert(chain.begin(), chain.end());
    }

    void read_picture(const Json &e, const Where &w) {
        expect_object(e, w, {"id", "bits"});
        auto *picture = pending_.make<Picture>(okPicture);
        const std::string id = string_value(required(e, "id", w), w.at("id"));
        const Where bits_at = w.at("bits");
        const auto bits = base64_decode(string_value(required(e, "bits", w), bits_at));
        if (!bits) bits_at.fail("not a base64 text");
        if (bits->size() != PICTURE_SIZE) {
            bits_at.fail("holds " + std::to_string(bits->size()) + " bytes; a picture is " +
                         std::to_string(PICTURE_SIZE));
        }
        std::copy(bits->begin(), bits->end(), picture->Bits);
        if (const size_t runs = picture_runs(*picture); runs > kMaxPictureRuns) {
            bits_at.fail("too detailed for the base file: it needs " + std::to_string(runs) +
                         " runs, and a picture record holds at most " + std::to_string(kMaxPictureRuns));
        }
        const auto [at, fresh] = picture_ids_.emplace(id, Known{picture, w.object()});
        if (!fresh) w.at("id").fail("the id is already used by " + at->second.where);
    }

    void read_complex(const Json &e, const Where &w) {
        expect_object(e, w, {"name", "group", "picture"});
        auto *complex = pending_.make<Complex>(okComplex);
        read_text(e, "name", complex->Name, w);
        complex->Group = group_ref(find(e, "group"), w.at("group"));
        complex->Picture = picture_ref(find(e, "picture"), w.at("picture"));
        admit(okComplex, complex, w);
    }

    void read_formula(const Json &e, const Where &w) {
        expect_object(e, w, {"description", "content", "group", "complex", "picture"});
        auto *formula = pending_.make<Formula>(okFormula);
        read_text(e, "description", formula->Description, w);
        read_text(e, "content", formula->Content, w);
        formula->Group = group_ref(find(e, "group"), w.at("group"));
        formula->Complex = complex_ref(find(e, "complex"), w.at("complex"));
        formula->Picture = picture_ref(find(e, "picture"), w.at("picture"));
        admit(okFormula, formula, w);
    }

    void read_dimension(const Json &e, const Where &w) {
        auto *dimension = pending_.make<DimensionClass>(okDimensionClass);
        *dimension = exponents(e, w);
        admit(okDimensionClass, dimension, w);
    }

    void read_quantity(const Json &e, const Where &w) {
        expect_object(e, w, {"name", "dimension"});
        auto *quantity = pending_.make<Quantity>(okQuantity);
        read_text(e, "name", quantity->Name, w);
        quantity->DimensionClass = dimension_ref(&required(e, "dimension", w), w.at("dimension"));
        admit(okQuantity, quantity, w);
    }

    void read_measure(const Json &e, const Where &w) {
        expect_object(e, w, {"mark", "name", "coefficient", "dimension"});
        auto *measure = pending_.make<Measure>(okMeasure);
        read_text(e, "mark", measure->Mark, w);
        read_text(e, "name", measure->Name, w);
        measure->Coefficient = read_real(e, "coefficient", w);
        measure->DimensionClass = dimension_ref(find(e, "dimension"), w.at("dimension"));
        admit(okMeasure, measure, w);
    }

    void read_tie(const Json &e, const Where &w) {
        expect_object(e, w, {"quantity", "measure"});
        auto *tie = pending_.make<Tie>(okTie);
        tie->Quantity = quantity_ref(find(e, "quantity"), w.at("quantity"));
        tie->Measure = measure_ref(find(e, "measure"), w.at("measure"));
        admit(okTie, tie, w);
    }

    void read_constant(const Json &e, const Where &w) {
        expect_object(e, w, {"mark", "name", "value", "tie"});
        auto *constant = pending_.make<Constant>(okConstant);
        read_text(e, "mark", constant->Mark, w);
        read_text(e, "name", constant->Name, w);
        constant->Value = read_real(e, "value", w);
        constant->Tie = tie_ref(find(e, "tie"), w.at("tie"));
        admit(okConstant, constant, w);
    }

    void read_variable(const Json &e, const Where &w) {
        expect_object(e, w, {"mark", "description", "tie", "formula", "complex"});
        auto *variable = pending_.make<Variable>(okVariable);
        read_text(e, "mark", variable->Mark, w);
        read_text(e, "description", variable->Description, w);
        variable->Tie = tie_ref(find(e, "tie"), w.at("tie"));
        variable->Formula = formula_ref(find(e, "formula"), w.at("formula"));
        variable->Complex = complex_ref(find(e, "complex"), w.at("complex"));
        admit(okVariable, variable, w);
    }

    Origins *origins_;
    std::vector<Parsed> parsed_;
    PendingObjects pending_;
    std::array<std::unordered_map<std::string, Known>, kKindCount> known_;
    std::unordered_map<std::string, Known> picture_ids_;
    std::unordered_set<Group *> settled_groups_;
    std::array<size_t, kKindCount> existing_counts_{};
    Origins new_origins_;
};

}  // namespace

std::string export_base() {
    return Exporter().run();
}

void import_documents(std::span<const Document> documents, Origins *origins) {
    Importer(documents, origins).run();
}

}  // namespace textbase
