// The base file: its exact bytes, reading, the checks a file must pass, and
// closing, which writes the base back without ever losing a file.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cfloat>
#include <cmath>
#include <csignal>
#include <limits>

#include "support.h"

using namespace base_test;

namespace {

const char kOne[] = "\0\0\0\0\0\0\0\x80\xFF\x3F";  // 1.0 as an 80-bit real

std::vector<std::pair<uint8_t, uint8_t>> marked_runs() {
    auto runs = blank_runs();
    runs.front() = {1, 0xFF};  // a first byte of set pixels, then 7199 blank ones
    runs.back() = {59, 0};
    runs.insert(runs.begin() + 1, {255, 0});
    return runs;
}

// A small base of every kind, in the order and with the identifiers the
// writer uses: kinds in code order, each kind in list order, numbered from 1.
std::string fixture() {
    return base_file({
        record(okGroup, 1, Body().text("Механика").ref(0)),
        record(okGroup, 2, Body().text("Кинематика").ref(1)),
        record(okComplex, 1, Body().text("Движение").ref(1).ref(2)),
        record(okFormula, 1, Body().text("Скорость").text("v=s/t").ref(0).ref(2).ref(0)),
        record(okFormula, 2, Body().text("").text("s=v*t").ref(0).ref(0).ref(1)),
        record(okDimensionClass, 1, Body().raw(std::string("\x01\x00\xFF\x00\x00\x00\x00\x00\x00", 9))),
        record(okQuantity, 1, Body().text("Скорость").ref(1)),
        record(okMeasure, 1, Body().text("метр в секунду").text("м/с").raw({kOne, 10}).ref(1)),
        record(okMeasure, 2, Body().text("километр в час").text("км/ч").real(1 / 3.6L).ref(1)),
        record(okTie, 1, Body().ref(1).ref(1)),
        record(okTie, 2, Body().ref(1).ref(2)),
        record(okConstant, 1, Body().text("Скорость света").text("c").real(299792458).ref(1)),
        record(okVariable, 1, Body().text("скорость").text("v").ref(0).ref(1).ref(2)),
        record(okVariable, 2, Body().text("путь").text("s").ref(1).ref(0).ref(0)),
        record(okPicture, 1, Body().runs(marked_runs())),
    });
}

template <class T>
T *only(ObjectKind kind, std::size_t index) {
    auto objects = select_all(kind);
    return index < objects.size() ? static_cast<T *>(objects[index]) : nullptr;
}

// The fixture's objects, made through the interface.
void build_fixture_objects() {
    Picture *picture = make<Picture>(okPicture);
    picture->Bits[0] = 0xFF;
    Group *mechanics = add_group("Механика");
    Group *kinematics = add_group("Кинематика", mechanics);
    Complex *motion = add_complex("Движение", kinematics, picture);
    Formula *speed = add_formula("v=s/t", kinematics, nullptr, nullptr, "Скорость");
    add_formula("s=v*t", nullptr, motion);
    DimensionClass *velocity = add_dimension({1, 0, -1, 0, 0, 0, 0, 0, 0});
    Quantity *q = add_quantity("Скорость", velocity);
    Measure *ms = add_measure("м/с", "метр в секунду", 1, velocity);
    Measure *kmh = add_measure("км/ч", "километр в час", 1 / 3.6L, velocity);
    Tie *t1 = add_tie(q, ms);
    Tie *t2 = add_tie(q, kmh);
    add_constant("c", "Скорость света", 299792458, t1);
    add_variable("v", "скорость", nullptr, speed, t2);
    add_variable("s", "путь", motion, nullptr);
    ASSERT_EQ(AddToBase(okPicture, picture), 0xFF);
}

TEST(BaseFile, ReadsEveryFieldAndReferenceAndWritesTheSameBytes) {
    TempDir dir;
    write_file("base.tob", fixture());
    BaseInit("base.tob");
    ASSERT_EQ(BaseLastResult(), 0);

    auto *mechanics = only<Group>(okGroup, 0);
    auto *kinematics = only<Group>(okGroup, 1);
    ASSERT_TRUE(mechanics && kinematics);
    EXPECT_STREQ(mechanics->Name, "Механика");
    EXPECT_EQ(mechanics->Parent, nullptr);
    EXPECT_EQ(kinematics->Parent, mechanics);
    auto *motion = only<Complex>(okComplex, 0);
    auto *picture = only<Picture>(okPicture, 0);
    EXPECT_EQ(motion->Group, kinematics);
    EXPECT_EQ(motion->Picture, picture);
    auto *speed = only<Formula>(okFormula, 0);
    auto *path = only<Formula>(okFormula, 1);
    EXPECT_STREQ(speed->Description, "Скорость");
    EXPECT_STREQ(speed->Content, "v=s/t");
    EXPECT_EQ(speed->Group, kinematics);
    EXPECT_EQ(path->Complex, motion);
    EXPECT_EQ(path->Group, nullptr);
    auto *velocity = only<DimensionClass>(okDimensionClass, 0);
    EXPECT_EQ(velocity->Exponent[0], 1);
    EXPECT_EQ(velocity->Exponent[2], -1);
    // The measure's name comes first in the file and its mark first in memory.
    auto *ms = only<Measure>(okMeasure, 0);
    auto *kmh = only<Measure>(okMeasure, 1);
    EXPECT_STREQ(ms->Mark, "м/с");
    EXPECT_STREQ(ms->Name, "метр в секунду");
    EXPECT_EQ(ms->Coefficient, 1.0L);
    EXPECT_EQ(kmh->Coefficient, 1 / 3.6L);
    EXPECT_EQ(kmh->DimensionClass, velocity);
    auto *quantity = only<Quantity>(okQuantity, 0);
    auto *t1 = only<Tie>(okTie, 0);
    auto *t2 = only<Tie>(okTie, 1);
    EXPECT_EQ(t1->Quantity, quantity);
    EXPECT_EQ(t2->Measure, kmh);
    auto *c = only<Constant>(okConstant, 0);
    EXPECT_STREQ(c->Mark, "c");
    EXPECT_EQ(c->Value, 299792458.0L);
    EXPECT_EQ(c->Tie, t1);
    auto *v = only<Variable>(okVariable, 0);
    auto *s = only<Variable>(okVariable, 1);
    EXPECT_EQ(v->Formula, speed);
    EXPECT_EQ(v->Tie, t2);
    EXPECT_EQ(s->Complex, motion);
    EXPECT_EQ(picture->Bits[0], 0xFF);
    EXPECT_TRUE(
        std::all_of(picture->Bits + 1, picture->Bits + PICTURE_SIZE, [](uint8_t b) { return b == 0; }));

    BaseDone();
    EXPECT_EQ(BaseLastResult(), 0);
    EXPECT_EQ(read_file("base.tob"), fixture());
    EXPECT_EQ(dir.files(), std::vector<std::string>{"base.tob"});  // no temporary file is left
}

TEST(BaseFile, ObjectsMadeThroughTheInterfaceWriteTheFixture) {
    TempDir dir;
    open_empty_base();
    build_fixture_objects();
    BaseDone();
    EXPECT_EQ(BaseLastResult(), 0);
    EXPECT_EQ(read_file("base.tob"), fixture());
}

TEST(BaseFile, OpeningResults) {
    TempDir dir;
    write_file("only-signature.tob", kSignature);
    write_file("wrong-version.tob", std::string("TDB\x01\x01", 5));
    write_file("short.tob", "TDB");
    struct Row {
        const char *name;
        uint16_t result;
    } rows[] = {{"only-signature.tob", 0}, {"wrong-version.tob", 2}, {"short.tob", 2}};
    for (auto [name, result] : rows) {
        BaseInit(name);
        EXPECT_EQ(BaseLastResult(), result) << name;
        for (int kind = okGroup; kind <= okPicture; ++kind)
            EXPECT_TRUE(select_all(static_cast<ObjectKind>(kind)).empty()) << name;
        BaseDone();
    }
}

TEST(BaseFile, AMissingFileGivesAnEmptyBaseWrittenAsDataTob) {
    for (const char *name : {"missing.tob", ""}) {
        TempDir dir;
        BaseInit(name);
        EXPECT_EQ(BaseLastResult(), 1) << name;
        add_group("Новая");
        BaseDone();
        EXPECT_EQ(BaseLastResult(), 0);
        EXPECT_EQ(read_file("Data.tob"), base_file({record(okGroup, 1, Body().text("Новая").ref(0))}));
        EXPECT_EQ(dir.files(), std::vector<std::string>{"Data.tob"});
    }
    TempDir dir;
    BaseInit(nullptr);
    EXPECT_EQ(BaseLastResult(), 1);
    BaseDone();
}

TEST(BaseFile, ReferencesResolveAfterAllRecordsAreRead) {
    TempDir dir;
    write_file("base.tob", base_file({
                               record(okGroup, 7, Body().text("Первая").ref(9)),
                               record(okGroup, 8, Body().text("Вторая").ref(9)),
                               record(okGroup, 9, Body().text("Верхняя").ref(0)),
                               record(okPicture, 3, Body().runs({36, {200, 0}})),
                               record(okComplex, 9, Body().text("К").ref(3).ref(7)),
                           }));
    BaseInit("base.tob");
    ASSERT_EQ(BaseLastResult(), 0);
    auto groups = select_all(okGroup);
    ASSERT_EQ(groups.size(), 3u);
    EXPECT_EQ(static_cast<Group *>(groups[0])->Parent, groups[2]);
    EXPECT_EQ(static_cast<Group *>(groups[1])->Parent, groups[2]);
    EXPECT_EQ(static_cast<Group *>(groups[2])->Parent, nullptr);
    auto *picture = only<Picture>(okPicture, 0);
    EXPECT_TRUE(std::all_of(picture->Bits, picture->Bits + PICTURE_SIZE, [](uint8_t b) { return b == 0; }));
    EXPECT_EQ(only<Complex>(okComplex, 0)->Picture, picture);
    BaseDone();
}

// Every requirement of the reader, broken once.
struct BadFile {
    const char *fault;
    std::string bytes;
};

std::vector<BadFile> bad_files() {
    const std::string group = record(okGroup, 1, Body().text("Г").ref(0));
    auto runs_of = [](std::size_t pairs, uint8_t last) {
        std::vector<std::pair<uint8_t, uint8_t>> runs(pairs - 1, {2, 0});
        for (std::size_t i = 0; i < runs.size(); ++i) runs[i].second = i % 2;
        runs.push_back({last, 7});
        return runs;
    };
    std::string truncated = group;
    truncated.pop_back();
    std::vector<BadFile> rows = {
        {"kind 0", base_file({group, record(0, 1, Body().text("Г").ref(0))})},
        {"kind 11", base_file({record(11, 1, Body().text("Г").ref(0))})},
        {"length below the header", base_file({Body().u16(6).u8(okGroup).i32(1).bytes()})},
        {"length beyond 7206", base_file({record(okPicture, 1, Body().runs(runs_of(3599, 4)))})},
        {"length beyond the file", base_file({truncated})},
        {"a byte after the last record", base_file({group, "\x01"})},
        {"body longer than its fields", base_file({record(okGroup, 1, Body().text("Г").ref(0).u8(0))})},
        {"body shorter than its fields", base_file({record(okGroup, 1, Body().text("Г").u16(0))})},
        {"text over its capacity", base_file({record(okGroup, 1, Body().text(std::string(64, 'g')).ref(0))})},
        {"text past the body", base_file({record(okTie, 1, Body().u8(40).raw("abc"))})},
        {"zero byte in a text",
         base_file({record(okConstant, 1, Body().text({"a\0b", 3}).text("c").real(1).ref(0))})},
        {"picture runs short of 7200", base_file({record(okPicture, 1, Body().runs({{255, 0}, {255, 1}}))})},
        {"picture runs past 7200", base_file({record(okPicture, 1, Body().runs(runs_of(3598, 7)))})},
        {"picture block length not the record's",
         base_file({record(okPicture, 1, Body().u16(4).raw({"\xC8\0", 2}).runs({36, {200, 0}}))})},
        {"picture block of an odd size", base_file({record(okPicture, 1, Body().u16(3).u8(0))})},
        {"identifier 0", base_file({record(okGroup, 0, Body().text("Г").ref(0))})},
        {"identifier twice in a kind", base_file({group, record(okGroup, 1, Body().text("Д").ref(0))})},
        {"reference to no object", base_file({group, record(okGroup, 2, Body().text("Д").ref(5))})},
        {"reference to another kind's identifier",
         base_file({record(okFormula, 4, Body().text("").text("x=1").ref(0).ref(0).ref(0)),
                    record(okComplex, 1, Body().text("К").ref(0).ref(4))})},
        {"group that is its own parent", base_file({record(okGroup, 1, Body().text("Г").ref(1))})},
        {"ring of parents", base_file({group, record(okGroup, 2, Body().text("А").ref(3)),
                                       record(okGroup, 3, Body().text("Б").ref(2))})},
    };
    std::string many_ties = kSignature;
    for (int id = 1; id <= 65536; ++id) many_ties += record(okTie, id, Body().ref(0).ref(0));
    rows.push_back({"65,536 objects of a kind", many_ties});
    return rows;
}

TEST(BaseFile, AFileBreakingAnyRuleIsNotABaseAndStaysUntouched) {
    TempDir dir;
    for (const auto &[fault, bytes] : bad_files()) {
        write_file("bad.tob", bytes);
        BaseInit("bad.tob");
        EXPECT_EQ(BaseLastResult(), 2) << fault;
        for (int kind = okGroup; kind <= okPicture; ++kind)
            EXPECT_TRUE(select_all(static_cast<ObjectKind>(kind)).empty()) << fault;
        add_group("Новая");
        BaseDone();
        EXPECT_EQ(BaseLastResult(), 4) << fault;
        EXPECT_EQ(read_file("bad.tob"), bytes) << fault;
    }
    // The largest valid picture record: 3598 pairs, 7206 bytes.
    std::vector<std::pair<uint8_t, uint8_t>> runs(3597, {2, 0});
    for (std::size_t i = 0; i < runs.size(); ++i) runs[i].second = i % 2;
    runs.push_back({6, 9});
    write_file("big.tob", base_file({record(okPicture, 1, Body().runs(runs))}));
    BaseInit("big.tob");
    EXPECT_EQ(BaseLastResult(), 0);
    BaseDone();
    EXPECT_EQ(BaseLastResult(), 0);
    EXPECT_EQ(read_file("big.tob"), base_file({record(okPicture, 1, Body().runs(runs))}));
}

TEST(Closing, NeverWritesOverAFileTheBaseDidNotRead) {
    TempDir dir;
    const std::string other = base_file({record(okGroup, 1, Body().text("Чужая").ref(0))});

    // After result 1 the base is named "Data.tob", which may be another base.
    write_file("Data.tob", other);
    BaseInit("missing.tob");
    ASSERT_EQ(BaseLastResult(), 1);
    BaseDone();
    EXPECT_EQ(BaseLastResult(), 4);
    EXPECT_EQ(read_file("Data.tob"), other);

    // Renamed onto an existing file, or its file replaced meanwhile.
    open_empty_base("mine.tob");
    add_group("Моя");
    ChangeBaseName("Data.tob");
    BaseDone();
    EXPECT_EQ(BaseLastResult(), 4);
    EXPECT_EQ(read_file("Data.tob"), other);

    open_empty_base("mine.tob");
    write_file("mine.tob", other);
    BaseDone();
    EXPECT_EQ(BaseLastResult(), 4);
    EXPECT_EQ(read_file("mine.tob"), other);

    // Another name for the very file it read, or a new file, is written.
    open_empty_base("mine.tob");
    add_group("Моя");
    ChangeBaseName((dir.path() / "." / "mine.tob").c_str());
    BaseDone();
    EXPECT_EQ(BaseLastResult(), 0);
    EXPECT_EQ(read_file("mine.tob"), base_file({record(okGroup, 1, Body().text("Моя").ref(0))}));
    open_empty_base("mine.tob");
    ChangeBaseName("new.tob");
    BaseDone();
    EXPECT_EQ(BaseLastResult(), 0);
    EXPECT_EQ(read_file("new.tob"), kSignature);
    EXPECT_EQ(dir.files(), (std::vector<std::string>{"Data.tob", "mine.tob", "new.tob"}));

    // Opening another base while one is open closes the first as BaseDone would.
    open_empty_base("mine.tob");
    add_group("Перед сменой");
    BaseInit("new.tob");
    EXPECT_EQ(read_file("mine.tob"), base_file({record(okGroup, 1, Body().text("Перед сменой").ref(0))}));
    EXPECT_EQ(BaseLastResult(), 0);
    EXPECT_TRUE(select_all(okGroup).empty());
    BaseDone();
}

TEST(Closing, AFailedWriteLeavesThePreviousFileIntact) {
    TempDir dir;
    write_file("base.tob", fixture());
    BaseInit("base.tob");
    ASSERT_EQ(BaseLastResult(), 0);
    add_group("Ещё одна");
    // A file size limit stands for a full disk.
    rlimit previous;
    getrlimit(RLIMIT_FSIZE, &previous);
    rlimit small = previous;
    small.rlim_cur = 100;
    auto handler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    BaseDone();
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, handler);
    EXPECT_EQ(BaseLastResult(), 3);
    EXPECT_EQ(read_file("base.tob"), fixture());
    EXPECT_EQ(dir.files(), std::vector<std::string>{"base.tob"});

    open_empty_base();
    ChangeBaseName("no-such-directory/base.tob");
    BaseDone();
    EXPECT_EQ(BaseLastResult(), 3);
    open_empty_base();
    ChangeBaseName("");
    BaseDone();
    EXPECT_EQ(BaseLastResult(), 3);
}

// A picture of `pairs` runs of alternating bytes.
Picture *picture_of_pairs(std::size_t pairs) {
    auto *picture = make<Picture>(okPicture);
    std::size_t at = 0;
    for (std::size_t run = 0; run + 1 < pairs; ++run, at += 2)
        std::memset(picture->Bits + at, run % 2 ? 0xAA : 0x55, 2);
    std::memset(picture->Bits + at, pairs % 2 ? 0x55 : 0xAA, PICTURE_SIZE - at);
    return picture;
}

TEST(Pictures, OnlyPicturesTheFileCanHoldAreStored) {
    TempDir dir;
    open_empty_base();
    Picture *largest = picture_of_pairs(3598);
    Picture *too_many = picture_of_pairs(3599);
    EXPECT_EQ(AddToBase(okPicture, largest), 0xFF);
    EXPECT_EQ(AddToBase(okPicture, too_many), 0);
    DisposeObject(reinterpret_cast<void **>(&too_many));

    // A stored picture drawn over in place is left out when the base is
    // written, and what showed it shows none.
    Picture *drawn = add_picture();
    Complex *complex = add_complex("К", nullptr, drawn);
    for (std::size_t i = 0; i < PICTURE_SIZE; ++i) drawn->Bits[i] = i % 2 ? 0xF0 : 0x0F;
    std::vector<uint8_t> kept(largest->Bits, largest->Bits + PICTURE_SIZE);
    (void)complex;
    BaseDone();
    EXPECT_EQ(BaseLastResult(), 5);

    BaseInit("base.tob");
    ASSERT_EQ(BaseLastResult(), 0);
    auto pictures = select_all(okPicture);
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_TRUE(std::equal(kept.begin(), kept.end(), static_cast<Picture *>(pictures[0])->Bits));
    EXPECT_EQ(only<Complex>(okComplex, 0)->Picture, nullptr);
    BaseDone();
}

TEST(Writing, RealsKeepTheirTenBytesAndStrayReferencesAreNotWritten) {
    TempDir dir;
    open_empty_base();
    const long double reals[] = {0.1L,
                                 -0.0L,
                                 std::numeric_limits<long double>::infinity(),
                                 std::numeric_limits<long double>::quiet_NaN(),
                                 std::numeric_limits<long double>::denorm_min(),
                                 LDBL_MAX};
    char mark[] = "m0";
    for (long double value : reals) {
        add_measure(mark, "", value, nullptr);
        ++mark[1];
    }
    // A tie that never entered the base, and a ring of parents made in place.
    auto *outside = make<Tie>(okTie);
    add_constant("k", "", 1, outside);
    Group *a = add_group("А");
    Group *b = add_group("Б", a);
    a->Parent = b;
    BaseDone();
    ASSERT_EQ(BaseLastResult(), 0);
    DisposeObject(reinterpret_cast<void **>(&outside));

    BaseInit("base.tob");
    ASSERT_EQ(BaseLastResult(), 0);
    auto measures = select_all(okMeasure);
    ASSERT_EQ(measures.size(), std::size(reals));
    for (std::size_t i = 0; i < measures.size(); ++i)
        EXPECT_EQ(std::memcmp(&static_cast<Measure *>(measures[i])->Coefficient, &reals[i], 10), 0) << i;
    EXPECT_EQ(only<Constant>(okConstant, 0)->Tie, nullptr);
    auto *read_a = only<Group>(okGroup, 0);
    auto *read_b = only<Group>(okGroup, 1);
    EXPECT_EQ(read_a->Parent, nullptr);  // the ring is cut at its first group
    EXPECT_EQ(read_b->Parent, read_a);
    BaseDone();
}

}  // namespace
