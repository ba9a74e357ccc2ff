// Records: allocation, text capacity, case folding, the dimension key and the
// identity rules as AddToBase and FindUniqueObject apply them.
#include <gtest/gtest.h>

#include <algorithm>

#include "support.h"

using namespace base_test;

namespace {

struct KindSize {
    ObjectKind kind;
    std::size_t size;
};

TEST(Records, NewObjectGivesZeroedRecordsOfTheTenKindsOnly) {
    const KindSize kinds[] = {
        {okGroup, sizeof(Group)},  {okComplex, sizeof(Complex)},   {okFormula, sizeof(Formula)},
        {okDimensionClass, 9},     {okQuantity, sizeof(Quantity)}, {okMeasure, sizeof(Measure)},
        {okTie, sizeof(Tie)},      {okConstant, sizeof(Constant)}, {okVariable, sizeof(Variable)},
        {okPicture, PICTURE_SIZE},
    };
    for (auto [kind, size] : kinds) {
        void *object = NewObject(kind);
        ASSERT_NE(object, nullptr) << int(kind);
        auto *bytes = static_cast<const uint8_t *>(object);
        EXPECT_TRUE(std::all_of(bytes, bytes + size, [](uint8_t b) { return b == 0; })) << int(kind);
        DisposeObject(&object);
        EXPECT_EQ(object, nullptr);
    }
    for (int kind : {0, 11, 255}) EXPECT_EQ(NewObject(static_cast<ObjectKind>(kind)), nullptr) << kind;

    void *none = nullptr;
    DisposeObject(&none);
    EXPECT_EQ(none, nullptr);
    DisposeObject(nullptr);
}

TEST(Records, FullTextFieldsSurviveTheFile) {
    TempDir dir;
    open_empty_base();
    std::string name63(63, 'g');
    add_group(name63);
    auto *variable = make<Variable>(okVariable);
    std::memset(variable->Mark, 'v', sizeof variable->Mark);  // no terminator at all
    ASSERT_EQ(AddToBase(okVariable, variable), 0xFF);
    BaseDone();
    ASSERT_EQ(BaseLastResult(), 0);

    BaseInit("base.tob");
    ASSERT_EQ(BaseLastResult(), 0);
    auto groups = select_all(okGroup);
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(std::string(static_cast<Group *>(groups[0])->Name), name63);
    // The file holds at most 25 characters of a 26-byte mark.
    auto variables = select_all(okVariable);
    ASSERT_EQ(variables.size(), 1u);
    EXPECT_EQ(std::string(static_cast<Variable *>(variables[0])->Mark), std::string(25, 'v'));
    BaseDone();
}

// Texts of each row are stored into two objects of one kind; `same` says
// whether the second must be refused as the same object.
struct TextClash {
    ObjectKind kind;
    const char *first;
    const char *second;
    bool same;
};

void *record_with_text(ObjectKind kind, const char *text) {
    void *object = NewObject(kind);
    switch (kind) {
        case okGroup:
            set_text(static_cast<Group *>(object)->Name, text);
            break;
        case okQuantity:
            set_text(static_cast<Quantity *>(object)->Name, text);
            break;
        case okMeasure:
            set_text(static_cast<Measure *>(object)->Mark, text);
            break;
        case okConstant:
            set_text(static_cast<Constant *>(object)->Mark, text);
            break;
        case okVariable:
            set_text(static_cast<Variable *>(object)->Mark, text);
            break;
        case okComplex:
            set_text(static_cast<Complex *>(object)->Name, text);
            break;
        case okFormula:
            set_text(static_cast<Formula *>(object)->Content, text);
            break;
        default:
            break;
    }
    return object;
}

TEST(Identity, TextsCompareWithCyrillicCaseFoldingOrExactly) {
    const TextClash rows[] = {
        {okGroup, "группа", "ГРУППА", true},
        {okQuantity, "СИЛА", "сила", true},
        {okQuantity, "ЁМКОСТЬ", "ёмкость", false},  // Ё is not folded
        {okQuantity, "Ohm", "ohm", false},          // nor are Latin letters
        {okQuantity, "Яя", "яЯ", true},
        {okComplex, "Движение", "ДВИЖЕНИЕ", true},
        {okFormula, "V=S/T", "v=s/t", false},
        {okFormula, "Ф=БВ", "ф=бв", true},
        {okMeasure, "м", "М", false},  // marks are exact
        {okMeasure, "м", "м", true},
        {okConstant, "G", "g", false},
        {okVariable, "Х", "х", false},
    };
    for (const auto &row : rows) {
        TempDir dir;
        open_empty_base();
        void *first = record_with_text(row.kind, row.first);
        void *second = record_with_text(row.kind, row.second);
        EXPECT_EQ(AddToBase(row.kind, first), 0xFF);
        EXPECT_EQ(AddToBase(row.kind, second), row.same ? 0 : 0xFF) << row.first << " / " << row.second;
        EXPECT_EQ(FindUniqueObject(row.kind, row.second, nullptr, nullptr), row.same ? first : second);
        if (row.same) DisposeObject(&second);
        BaseDone();
    }
}

TEST(Identity, ContextReferencesTakePartByIdentity) {
    TempDir dir;
    open_empty_base();
    Group *a = add_group("А");
    Group *b = add_group("Б");
    // A group's name is unique in the whole base, whatever the parent.
    auto *nested = make<Group>(okGroup);
    set_text(nested->Name, "б");
    nested->Parent = a;
    EXPECT_EQ(AddToBase(okGroup, nested), 0);
    DisposeObject(reinterpret_cast<void **>(&nested));
    EXPECT_EQ(select_all(okGroup), (std::vector<void *>{a, b}));

    Complex *ca = add_complex("Система", a);
    add_complex("система", b);
    Formula *f = add_formula("ф=у", a);
    add_formula("ф=у", b);  // the same text in another group
    add_formula("ф=у", nullptr, ca);
    auto *clash = make<Formula>(okFormula);
    set_text(clash->Content, "Ф=У");
    clash->Group = a;
    EXPECT_EQ(AddToBase(okFormula, clash), 0);
    DisposeObject(reinterpret_cast<void **>(&clash));

    DimensionClass *length = add_dimension({1, 0, 0, 0, 0, 0, 0, 0, 0});
    Quantity *q = add_quantity("Длина", length);
    Measure *m = add_measure("м", "метр", 1, length);
    Tie *tie = add_tie(q, m);
    auto *same_tie = make<Tie>(okTie);
    same_tie->Quantity = q;
    same_tie->Measure = m;
    EXPECT_EQ(AddToBase(okTie, same_tie), 0);
    DisposeObject(reinterpret_cast<void **>(&same_tie));
    EXPECT_EQ(FindUniqueObject(okTie, "", q, m), tie);
    EXPECT_EQ(FindUniqueObject(okTie, "", q, nullptr), nullptr);

    Variable *of_formula = add_variable("x", "", nullptr, f);
    Variable *of_complex = add_variable("x", "", ca, nullptr);
    EXPECT_EQ(FindUniqueObject(okVariable, "x", nullptr, f), of_formula);
    EXPECT_EQ(FindUniqueObject(okVariable, "x", ca, nullptr), of_complex);
    EXPECT_EQ(FindUniqueObject(okVariable, "x", nullptr, nullptr), nullptr);

    // Pictures are never the same, even when their bits are.
    add_picture();
    add_picture();
    EXPECT_EQ(select_all(okPicture).size(), 2u);
    BaseDone();
}

TEST(Identity, DimensionKeyHasOneCharacterPerExponent) {
    TempDir dir;
    open_empty_base();
    DimensionClass *acceleration = add_dimension({1, 0, -2, 0, 0, 0, 0, 0, 0});
    DimensionClass *odd = add_dimension({-1, 2, 0, 0, 0, 0, 0, 0, 127});
    EXPECT_EQ(FindUniqueObject(okDimensionClass, "10.000000", nullptr, nullptr), acceleration);
    EXPECT_EQ(FindUniqueObject(okDimensionClass, "/2000000\xAF", nullptr, nullptr), odd);
    EXPECT_EQ(FindUniqueObject(okDimensionClass, "10.00000", nullptr, nullptr), nullptr);
    auto *again = make<DimensionClass>(okDimensionClass);
    again->Exponent[0] = 1;
    again->Exponent[2] = -2;
    EXPECT_EQ(AddToBase(okDimensionClass, again), 0);
    DisposeObject(reinterpret_cast<void **>(&again));
    BaseDone();
}

TEST(Identity, AnObjectIsTakenOnceAndNotBeyondTheListCapacity) {
    TempDir dir;
    open_empty_base();
    Picture *picture = add_picture();
    EXPECT_EQ(AddToBase(okPicture, picture), 0);  // already in the base
    void *group = NewObject(okGroup);
    EXPECT_EQ(AddToBase(okNone, group), 0);
    EXPECT_EQ(AddToBase(11, group), 0);
    DisposeObject(&group);
    EXPECT_EQ(AddToBase(okGroup, nullptr), 0);

    for (int i = 0; i < 65535; ++i) {
        auto *constant = make<Constant>(okConstant);
        std::snprintf(constant->Mark, sizeof constant->Mark, "c%d", i);
        ASSERT_EQ(AddToBase(okConstant, constant), 0xFF) << i;
    }
    void *one_more = record_with_text(okConstant, "last");
    EXPECT_EQ(AddToBase(okConstant, one_more), 0);
    DisposeObject(&one_more);
    BaseStatistics counts{};
    BaseStatistics *p = &counts;
    BaseStatistic(&p);
    EXPECT_EQ(counts.Count[okConstant - 1], 65535);
    BaseDone();
    EXPECT_EQ(BaseLastResult(), 0);
}

}  // namespace
