// Helpers of the base tests: a private working directory, files as bytes,
// base files assembled field by field, and result lists.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base.h"

namespace base_test {

// Each test runs in a fresh directory that is removed afterwards, so bases
// written under relative names (such as "Data.tob") never leave the test.
class TempDir {
  public:
    TempDir() {
        char pattern[] = "/tmp/base-test-XXXXXX";
        path_ = mkdtemp(pattern);
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(path_);
    }
    ~TempDir() {
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(path_);
    }
    const std::filesystem::path &path() const { return path_; }
    std::vector<std::string> files() const {
        std::vector<std::string> names;
        for (const auto &entry : std::filesystem::directory_iterator(path_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

  private:
    std::filesystem::path path_, previous_;
};

inline void write_file(const std::string &name, const std::string &bytes) {
    std::ofstream(name, std::ios::binary) << bytes;
}

inline std::string read_file(const std::string &name) {
    std::ifstream in(name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The fields of a record body, little-endian.
class Body {
  public:
    Body &u8(uint8_t value) {
        bytes_.push_back(static_cast<char>(value));
        return *this;
    }
    Body &u16(uint16_t value) { return u8(value & 0xFF).u8(value >> 8); }
    Body &i32(int32_t value) {
        auto bits = static_cast<uint32_t>(value);
        return u16(bits & 0xFFFF).u16(bits >> 16);
    }
    Body &text(std::string_view value) {
        u8(static_cast<uint8_t>(value.size()));
        bytes_.append(value);
        return *this;
    }
    Body &ref(int32_t id) { return i32(id); }
    Body &real(long double value) {
        bytes_.append(reinterpret_cast<const char *>(&value), 10);
        return *this;
    }
    Body &raw(std::string_view value) {
        bytes_.append(value);
        return *this;
    }
    // A run block: pairs (count, value).
    Body &runs(const std::vector<std::pair<uint8_t, uint8_t>> &pairs) {
        u16(static_cast<uint16_t>(2 + 2 * pairs.size()));
        for (auto [count, value] : pairs) u8(count).u8(value);
        return *this;
    }
    const std::string &bytes() const { return bytes_; }

  private:
    std::string bytes_;
};

inline std::string record(uint8_t kind, int32_t id, const Body &body) {
    Body head;
    head.u16(static_cast<uint16_t>(7 + body.bytes().size())).u8(kind).i32(id);
    return head.bytes() + body.bytes();
}

inline const std::string kSignature("TDB\x01\x00", 5);

inline std::string base_file(const std::vector<std::string> &records) {
    std::string file = kSignature;
    for (const auto &r : records) file += r;
    return file;
}

// The run block of a blank picture: 28 runs of 255 zero bytes and one of 60.
inline std::vector<std::pair<uint8_t, uint8_t>> blank_runs() {
    std::vector<std::pair<uint8_t, uint8_t>> pairs(28, {255, 0});
    pairs.push_back({60, 0});
    return pairs;
}

using List = std::unique_ptr<ObjectList>;
inline List make_list() {
    return std::make_unique<ObjectList>();
}

inline std::vector<void *> items(const ObjectList &list) {
    return {list.Items, list.Items + list.Count};
}

inline std::vector<void *> select_all(ObjectKind kind) {
    List list = make_list();
    ObjectList *p = list.get();
    SelectAll(kind, &p);
    return items(*list);
}

template <class T>
T *make(ObjectKind kind) {
    return static_cast<T *>(NewObject(kind));
}

template <std::size_t N>
void set_text(char (&field)[N], std::string_view text) {
    std::memset(field, 0, N);
    if (!text.empty()) std::memcpy(field, text.data(), std::min(text.size(), N - 1));
}

// Record builders that add the object to the open base and expect success.
inline Group *add_group(std::string_view name, Group *parent = nullptr) {
    auto *g = make<Group>(okGroup);
    set_text(g->Name, name);
    g->Parent = parent;
    EXPECT_EQ(AddToBase(okGroup, g), 0xFF) << name;
    return g;
}

inline Complex *add_complex(std::string_view name, Group *group, Picture *picture = nullptr) {
    auto *c = make<Complex>(okComplex);
    set_text(c->Name, name);
    c->Group = group;
    c->Picture = picture;
    EXPECT_EQ(AddToBase(okComplex, c), 0xFF) << name;
    return c;
}

inline Formula *add_formula(std::string_view content, Group *group, Complex *complex = nullptr,
                            Picture *picture = nullptr, std::string_view description = {}) {
    auto *f = make<Formula>(okFormula);
    set_text(f->Content, content);
    set_text(f->Description, description);
    f->Group = group;
    f->Complex = complex;
    f->Picture = picture;
    EXPECT_EQ(AddToBase(okFormula, f), 0xFF) << content;
    return f;
}

inline DimensionClass *add_dimension(std::initializer_list<int8_t> exponents) {
    auto *d = make<DimensionClass>(okDimensionClass);
    std::copy(exponents.begin(), exponents.end(), d->Exponent);
    EXPECT_EQ(AddToBase(okDimensionClass, d), 0xFF);
    return d;
}

inline Quantity *add_quantity(std::string_view name, DimensionClass *dimension) {
    auto *q = make<Quantity>(okQuantity);
    set_text(q->Name, name);
    q->DimensionClass = dimension;
    EXPECT_EQ(AddToBase(okQuantity, q), 0xFF) << name;
    return q;
}

inline Measure *add_measure(std::string_view mark, std::string_view name, long double coefficient,
                            DimensionClass *dimension) {
    auto *m = make<Measure>(okMeasure);
    set_text(m->Mark, mark);
    set_text(m->Name, name);
    m->Coefficient = coefficient;
    m->DimensionClass = dimension;
    EXPECT_EQ(AddToBase(okMeasure, m), 0xFF) << mark;
    return m;
}

inline Tie *add_tie(Quantity *quantity, Measure *measure) {
    auto *t = make<Tie>(okTie);
    t->Quantity = quantity;
    t->Measure = measure;
    EXPECT_EQ(AddToBase(okTie, t), 0xFF);
    return t;
}

inline Constant *add_constant(std::string_view mark, std::string_view name, long double value, Tie *tie) {
    auto *c = make<Constant>(okConstant);
    set_text(c->Mark, mark);
    set_text(c->Name, name);
    c->Value = value;
    c->Tie = tie;
    EXPECT_EQ(AddToBase(okConstant, c), 0xFF) << mark;
    return c;
}

inline Variable *add_variable(std::string_view mark, std::string_view description, Complex *complex,
                              Formula *formula, Tie *tie = nullptr) {
    auto *v = make<Variable>(okVariable);
    set_text(v->Mark, mark);
    set_text(v->Description, description);
    v->Complex = complex;
    v->Formula = formula;
    v->Tie = tie;
    EXPECT_EQ(AddToBase(okVariable, v), 0xFF) << mark;
    return v;
}

inline Picture *add_picture(uint8_t fill = 0) {
    auto *p = make<Picture>(okPicture);
    std::memset(p->Bits, fill, PICTURE_SIZE);
    EXPECT_EQ(AddToBase(okPicture, p), 0xFF);
    return p;
}

// An empty base read from a file of just the signature; closing writes it back.
inline void open_empty_base(const std::string &name = "base.tob") {
    write_file(name, kSignature);
    BaseInit(name.c_str());
    ASSERT_EQ(BaseLastResult(), 0);
}

}  // namespace base_test
