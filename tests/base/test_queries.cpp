// Queries over the open base and removal with its cascade.
#include <gtest/gtest.h>

#include "support.h"

using namespace base_test;

namespace {

using Objects = std::vector<void *>;

Objects children(ObjectKind parent_kind, void *parent, ObjectKind child_kind) {
    List list = make_list();
    ObjectList *p = list.get();
    SelectChildren(parent_kind, parent, child_kind, &p);
    return items(*list);
}

std::string path_of(ObjectKind kind, void *object) {
    std::vector<char> buffer(65536, 'x');
    char *p = buffer.data();
    ObjectPath(kind, object, &p);
    return buffer.data();
}

// A base in the shape the program keeps: a tree of groups with complexes,
// formulas and their variables, and the units beside it.
struct Sample {
    Group *mechanics, *kinematics, *dynamics, *optics;
    Picture *shared, *own;
    Complex *motion, *lenses;
    Formula *speed, *path, *force, *lens;
    DimensionClass *length, *velocity;
    Quantity *distance, *height, *speed_q;
    Measure *metre, *km, *ms;
    Tie *distance_m, *distance_km, *height_m, *speed_ms;
    Constant *g, *c;
    Variable *v_speed, *s_motion, *f_force;

    Sample() {
        shared = add_picture(1);
        own = add_picture(2);
        mechanics = add_group("Механика");
        kinematics = add_group("Кинематика", mechanics);
        optics = add_group("Оптика");
        dynamics = add_group("Динамика", mechanics);
        motion = add_complex("Движение", kinematics, own);
        lenses = add_complex("Линзы", optics);
        speed = add_formula("v=s/t", kinematics, nullptr, shared, "Скорость тела");
        path = add_formula("s=v*t", nullptr, motion, nullptr, "Путь");
        force = add_formula("F=m*a", dynamics, nullptr, nullptr, "Сила");
        lens = add_formula("1/f=1/a+1/b", nullptr, lenses, shared, "Линза");
        length = add_dimension({1, 0, 0, 0, 0, 0, 0, 0, 0});
        velocity = add_dimension({1, 0, -1, 0, 0, 0, 0, 0, 0});
        distance = add_quantity("Расстояние", length);
        height = add_quantity("Высота", length);
        speed_q = add_quantity("Скорость", velocity);
        metre = add_measure("м", "метр", 1, length);
        km = add_measure("км", "километр", 1000, length);
        ms = add_measure("м/с", "метр в секунду", 1, velocity);
        distance_m = add_tie(distance, metre);
        distance_km = add_tie(distance, km);
        height_m = add_tie(height, metre);
        speed_ms = add_tie(speed_q, ms);
        g = add_constant("g", "Ускорение свободного падения", 9.81L, nullptr);
        c = add_constant("c", "Скорость света", 299792458, speed_ms);
        v_speed = add_variable("v", "скорость", nullptr, speed, speed_ms);
        s_motion = add_variable("s", "путь", motion, nullptr, distance_m);
        f_force = add_variable("F", "сила", nullptr, force);
    }
};

class Queries : public ::testing::Test {
  protected:
    void SetUp() override {
        open_empty_base();
        base = std::make_unique<Sample>();
    }
    void TearDown() override { BaseDone(); }

    TempDir dir;
    std::unique_ptr<Sample> base;
};

TEST_F(Queries, SelectChildrenFollowsEachRelation) {
    Sample &s = *base;
    struct Row {
        ObjectKind parent_kind;
        void *parent;
        ObjectKind child_kind;
        Objects expected;
    } rows[] = {
        {okGroup, nullptr, okGroup, {s.mechanics, s.optics}},
        {okGroup, s.mechanics, okGroup, {s.kinematics, s.dynamics}},
        {okGroup, s.kinematics, okComplex, {s.motion}},
        {okGroup, s.kinematics, okFormula, {s.speed}},
        {okGroup, nullptr, okFormula, {s.path, s.lens}},  // formulas of complexes
        {okComplex, s.motion, okFormula, {s.path}},
        {okComplex, s.motion, okVariable, {s.s_motion}},
        {okFormula, s.speed, okVariable, {s.v_speed}},
        {okDimensionClass, s.length, okQuantity, {s.distance, s.height}},
        {okDimensionClass, s.length, okMeasure, {s.metre, s.km}},
        {okQuantity, s.distance, okMeasure, {s.metre, s.km}},
        {okQuantity, s.distance, okTie, {s.distance_m, s.distance_km}},
        {okMeasure, s.metre, okQuantity, {s.distance, s.height}},
        {okMeasure, s.metre, okTie, {s.distance_m, s.height_m}},
        {okTie, s.distance_m, okQuantity, {}},
        {okGroup, s.mechanics, okVariable, {}},
    };
    for (const auto &row : rows) {
        List list = make_list();
        list->Count = 3;  // earlier contents are cleared
        ObjectList *p = list.get();
        SelectChildren(row.parent_kind, row.parent, row.child_kind, &p);
        EXPECT_EQ(items(*list), row.expected) << int(row.parent_kind) << " -> " << int(row.child_kind);
    }
}

TEST_F(Queries, FindObjectsMatchesNamesFoldedAndMarksExactly) {
    Sample &s = *base;
    constexpr KindSet groups = 1 << okGroup, formulas = 1 << okFormula, measures = 1 << okMeasure,
                      constants = 1 << okConstant, variables = 1 << okVariable, quantities = 1 << okQuantity;
    struct Row {
        KindSet kinds;
        const char *name;
        const char *mark;
        Objects expected;
        std::vector<uintptr_t> expected_kinds;
    } rows[] = {
        {formulas, nullptr, "=", {s.speed, s.path, s.force, s.lens}, {3, 3, 3, 3}},
        {formulas, "СКОРОСТЬ", "", {s.speed}, {3}},
        {groups, "", "м", {}, {}},
        {groups | formulas,
         "",
         "",
         {s.mechanics, s.kinematics, s.optics, s.dynamics, s.speed, s.path, s.force, s.lens},
         {1, 1, 1, 1, 3, 3, 3, 3}},
        {measures | constants, "СКОРОСТЬ", "", {s.c}, {8}},
        {measures | constants, "СЕКУНД", "", {s.ms}, {6}},
        {measures, "метр", "км", {s.km}, {6}},
        {measures, "", "М", {}, {}},
        {quantities, "ВЫСОТА", "", {s.height}, {5}},
        {quantities, "высота", "В", {}, {}},
        {variables | groups, "", "s", {s.s_motion}, {9}},
        {1 << okTie | 1 << okPicture | 1 << okDimensionClass, "", "", {}, {}},
    };
    for (const auto &row : rows) {
        List objects = make_list(), kinds = make_list();
        objects->Count = 5;
        ObjectList *po = objects.get(), *pk = kinds.get();
        FindObjects(row.kinds, row.name, row.mark, &po, &pk);
        EXPECT_EQ(items(*objects), row.expected)
            << row.kinds << " " << (row.name ? row.name : "") << "/" << row.mark;
        std::vector<uintptr_t> found_kinds;
        for (std::size_t i = 0; i < kinds->Count; ++i)
            found_kinds.push_back(reinterpret_cast<uintptr_t>(kinds->Items[i]));
        EXPECT_EQ(found_kinds, row.expected_kinds);
    }
}

TEST_F(Queries, FindUniqueObjectUsesTheIdentityOfEachKind) {
    Sample &s = *base;
    struct Row {
        ObjectKind kind;
        const char *key;
        void *first, *second;
        void *expected;
    } rows[] = {
        {okGroup, "КИНЕМАТИКА", nullptr, nullptr, s.kinematics},
        {okComplex, "движение", s.kinematics, nullptr, s.motion},
        {okComplex, "движение", s.mechanics, nullptr, nullptr},
        {okFormula, "v=s/t", s.kinematics, nullptr, s.speed},
        {okFormula, "s=v*t", nullptr, s.motion, s.path},
        {okFormula, "s=v*t", nullptr, nullptr, nullptr},
        {okDimensionClass, "10/000000", nullptr, nullptr, s.velocity},
        {okQuantity, "ВЫСОТА", nullptr, nullptr, s.height},
        {okMeasure, "м", nullptr, nullptr, s.metre},
        {okMeasure, "М", nullptr, nullptr, nullptr},
        {okTie, "", s.height, s.metre, s.height_m},
        {okConstant, "g", nullptr, nullptr, s.g},
        {okVariable, "v", nullptr, s.speed, s.v_speed},
        {okVariable, "v", nullptr, s.path, nullptr},
        {okPicture, "", nullptr, nullptr, nullptr},
        {okNone, "м", nullptr, nullptr, nullptr},
        {11, "м", nullptr, nullptr, nullptr},
        {okMeasure, nullptr, nullptr, nullptr, nullptr},
    };
    for (const auto &row : rows)
        EXPECT_EQ(FindUniqueObject(row.kind, row.key, row.first, row.second), row.expected)
            << int(row.kind) << " " << (row.key ? row.key : "(null)");
}

TEST_F(Queries, ObjectPathJoinsTheGroupsFromTheTop) {
    Sample &s = *base;
    Group *deep = add_group("Равномерное", s.kinematics);
    Complex *loose = add_complex("Без группы", nullptr);
    struct Row {
        ObjectKind kind;
        void *object;
        std::string expected;
    } rows[] = {
        {okGroup, s.mechanics, "Механика"},
        {okGroup, deep, "Механика\\ Кинематика\\ Равномерное"},
        {okComplex, s.motion, "Механика\\ Кинематика\\ Движение"},
        {okComplex, loose, "\\ Без группы"},
        {okFormula, s.speed, ""},
        {okGroup, nullptr, ""},
    };
    for (const auto &row : rows) EXPECT_EQ(path_of(row.kind, row.object), row.expected);
}

TEST_F(Queries, ObjectPathStaysInsideTheBuffer) {
    // 2,000 levels of 63-character names make a path twice the buffer's size.
    Group *group = nullptr;
    for (int level = 0; level < 2000; ++level) {
        char name[64];
        std::snprintf(name, sizeof name, "%05d%s", level, std::string(58, 'n').c_str());
        group = add_group(name, group);
    }
    std::vector<char> buffer(65536 + 16, 'x');
    char *p = buffer.data();
    ObjectPath(okGroup, group, &p);
    EXPECT_EQ(std::strlen(buffer.data()), 65535u);
    EXPECT_EQ(std::string(buffer.data(), 7), "00000nn");
    EXPECT_TRUE(std::all_of(buffer.begin() + 65536, buffer.end(), [](char c) { return c == 'x'; }));

    // A ring of parents made in place ends instead of going round forever.
    Group *a = add_group("Кольцо");
    Group *b = add_group("Звено", a);
    a->Parent = b;
    EXPECT_EQ(path_of(okGroup, b), "Кольцо\\ Звено");
    a->Parent = nullptr;
}

TEST_F(Queries, IsObjectUsedAndStatistics) {
    Sample &s = *base;
    DimensionClass *unused = add_dimension({0, 1, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(IsObjectUsed(okDimensionClass, s.length), -1);
    EXPECT_EQ(IsObjectUsed(okDimensionClass, unused), 0);
    EXPECT_EQ(IsObjectUsed(okDimensionClass, nullptr), 0);
    EXPECT_EQ(IsObjectUsed(okQuantity, s.distance), 0);
    EXPECT_EQ(IsObjectUsed(okPicture, s.shared), 0);

    BaseStatistics counts{};
    BaseStatistics *p = &counts;
    BaseStatistic(&p);
    const uint16_t expected[10] = {4, 2, 4, 3, 3, 3, 4, 2, 3, 2};
    EXPECT_TRUE(std::equal(std::begin(expected), std::end(expected), counts.Count));
}

TEST_F(Queries, RemovingAGroupTakesEverythingBelowIt) {
    Sample &s = *base;
    // Subgroups anywhere in the list, before their parent as well as after.
    auto *early = make<Group>(okGroup);
    set_text(early->Name, "Ранняя");
    auto *later = make<Group>(okGroup);
    set_text(later->Name, "Поздняя");
    early->Parent = later;
    ASSERT_EQ(AddToBase(okGroup, early), 0xFF);
    later->Parent = s.dynamics;
    ASSERT_EQ(AddToBase(okGroup, later), 0xFF);
    Formula *deep = add_formula("a=b", early);
    Variable *deep_var = add_variable("a", "", nullptr, deep);

    void *root = s.mechanics;
    RemoveFromBase(okGroup, &root);
    EXPECT_EQ(root, s.mechanics);  // the caller's variable is left as it was
    EXPECT_EQ(select_all(okGroup), Objects{s.optics});
    EXPECT_EQ(select_all(okComplex), Objects{s.lenses});
    EXPECT_EQ(select_all(okFormula), Objects{s.lens});
    EXPECT_EQ(select_all(okVariable), Objects{});
    // The shared picture is still shown by the lens formula; the complex's own went with it.
    EXPECT_EQ(select_all(okPicture), Objects{s.shared});
    EXPECT_EQ(select_all(okQuantity).size(), 3u);
    // What the cascade took out stays readable until the base closes.
    EXPECT_EQ(deep_var->Formula, deep);
    EXPECT_STREQ(s.kinematics->Name, "Кинематика");
    DisposeObject(&root);
    // One of them disposed of by the caller after all is not freed twice.
    RemoveFromBase(okFormula, reinterpret_cast<void **>(&s.speed));
    DisposeObject(reinterpret_cast<void **>(&s.speed));
    EXPECT_EQ(s.speed, nullptr);
}

TEST_F(Queries, RemovalLeavesNoReferenceToWhatIsGone) {
    Sample &s = *base;
    void *quantity = s.distance;
    RemoveFromBase(okQuantity, &quantity);
    DisposeObject(&quantity);
    EXPECT_EQ(select_all(okMeasure), (Objects{s.metre, s.km, s.ms}));
    EXPECT_EQ(select_all(okTie), (Objects{s.height_m, s.speed_ms}));
    EXPECT_EQ(s.s_motion->Tie, nullptr);  // its tie went with the quantity
    EXPECT_EQ(s.c->Tie, s.speed_ms);

    void *dimension = s.velocity;
    RemoveFromBase(okDimensionClass, &dimension);
    DisposeObject(&dimension);
    EXPECT_EQ(select_all(okQuantity), Objects{s.height});
    EXPECT_EQ(select_all(okMeasure), (Objects{s.metre, s.km}));
    EXPECT_EQ(select_all(okTie), Objects{s.height_m});
    EXPECT_EQ(s.c->Tie, nullptr);
    EXPECT_EQ(s.v_speed->Tie, nullptr);

    void *picture = s.shared;
    RemoveFromBase(okPicture, &picture);
    DisposeObject(&picture);
    EXPECT_EQ(s.speed->Picture, nullptr);
    EXPECT_EQ(s.lens->Picture, nullptr);

    // Removing a formula takes its variables and a picture nobody else shows.
    void *formula = s.force;
    RemoveFromBase(okFormula, &formula);
    EXPECT_EQ(select_all(okVariable), (Objects{s.v_speed, s.s_motion}));
    // An object no longer in the base changes nothing a second time.
    RemoveFromBase(okFormula, &formula);
    DisposeObject(&formula);
    EXPECT_EQ(select_all(okFormula), (Objects{s.speed, s.path, s.lens}));

    // The base written now reads back as a valid base.
    BaseDone();
    ASSERT_EQ(BaseLastResult(), 0);
    BaseInit("base.tob");
    ASSERT_EQ(BaseLastResult(), 0);
    EXPECT_EQ(select_all(okTie).size(), 1u);
}

TEST_F(Queries, RecordsEditedInPlaceAreFoundUnderTheirNewKeys) {
    Sample &s = *base;
    // Renamed: not found by the old mark, found by the new one, and the old
    // mark is free for another measure.
    set_text(s.metre->Mark, "мм");
    EXPECT_EQ(FindUniqueObject(okMeasure, "м", nullptr, nullptr), nullptr);
    EXPECT_EQ(FindUniqueObject(okMeasure, "мм", nullptr, nullptr), s.metre);
    Measure *fresh = add_measure("м", "метр", 1, s.length);
    auto *clash = make<Measure>(okMeasure);
    set_text(clash->Mark, "мм");
    EXPECT_EQ(AddToBase(okMeasure, clash), 0);

    // Renamed to a key nothing was filed under.
    set_text(s.height->Name, "Глубина");
    EXPECT_EQ(FindUniqueObject(okQuantity, "ГЛУБИНА", nullptr, nullptr), s.height);
    set_text(clash->Mark, "Глубина");
    set_text(s.g->Mark, "gn");
    EXPECT_EQ(FindUniqueObject(okConstant, "gn", nullptr, nullptr), s.g);

    // Moved to another group.
    s.speed->Group = s.optics;
    EXPECT_EQ(children(okGroup, s.optics, okFormula), Objects{s.speed});
    EXPECT_EQ(FindUniqueObject(okFormula, "v=s/t", s.optics, nullptr), s.speed);
    EXPECT_EQ(FindUniqueObject(okFormula, "v=s/t", s.kinematics, nullptr), nullptr);

    // Made equal to a later object: the first in list order is the one found.
    set_text(s.distance->Name, "Скорость");
    SelectAll(okQuantity, nullptr);
    EXPECT_EQ(FindUniqueObject(okQuantity, "скорость", nullptr, nullptr), s.distance);
    DisposeObject(reinterpret_cast<void **>(&clash));
    (void)fresh;
}

}  // namespace
