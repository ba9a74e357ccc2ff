// The text form of a base and the tessarin-base tool.  Narrow literals here
// are Windows-1251 (the record texts); u8 literals are the UTF-8 documents.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "app/textbase/base_view.h"
#include "app/textbase/encoding.h"
#include "app/textbase/reals.h"
#include "app/textbase/tool.h"
#include "base.h"

namespace fs = std::filesystem;
using namespace textbase;

namespace {

std::string utf8(const char8_t *text) {
    return reinterpret_cast<const char *>(text);
}

std::string read_bytes(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void write_bytes(const fs::path &path, const std::string &text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

struct ToolRun {
    int code;
    std::string out;
    std::string err;
};

ToolRun run(std::vector<std::string> arguments) {
    std::ostringstream out, err;
    const int code = run_tool(arguments, out, err);
    return {code, out.str(), err.str()};
}

class TextBase : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("textbase-test-" + std::to_string(getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path file(const std::string &name) const { return dir_ / name; }

    fs::path document(const std::string &name, const std::string &text) const {
        write_bytes(file(name), text);
        return file(name);
    }

    template <typename Record>
    static Record *add(ObjectKind kind, const std::function<void(Record &)> &fill) {
        auto *record = static_cast<Record *>(NewObject(kind));
        fill(*record);
        EXPECT_EQ(AddToBase(kind, record), 0xFF);
        return record;
    }

    // A base with every kind and every field set, written by the library.
    fs::path write_fixture_base() const {
        BaseInit(file("absent.tob").c_str());
        auto *top = add<Group>(okGroup, [](Group &g) { set_field(g.Name, "Механика"); });
        auto *sub = add<Group>(okGroup, [&](Group &g) {
            set_field(g.Name, std::string(63, '\xC0'));
            g.Parent = top;
        });
        auto *picture = add<Picture>(okPicture, [](Picture &p) {
            for (size_t i = 0; i < PICTURE_SIZE; ++i)
                p.Bits[i] = static_cast<uint8_t>((i / 7) % 3 == 0 ? i : 0);
        });
        add<Picture>(okPicture, [](Picture &) {});
        auto *complex = add<Complex>(okComplex, [&](Complex &c) {
            set_field(c.Name, "Равноускоренное движение");
            c.Group = sub;
            c.Picture = picture;
        });
        auto *in_group = add<Formula>(okFormula, [&](Formula &f) {
            set_field(f.Description, "Скорость \"при\" разгоне\\");
            set_field(f.Content, "v=v0+a*t");
            f.Group = sub;
            f.Picture = picture;
        });
        auto *in_complex = add<Formula>(okFormula, [&](Formula &f) {
            set_field(f.Content, "s=v0*t+a*sqr(t)/2");
            f.Complex = complex;
        });
        auto *length = add<DimensionClass>(okDimensionClass, [](DimensionClass &d) { d.Exponent[0] = 1; });
        auto *odd = add<DimensionClass>(okDimensionClass, [](DimensionClass &d) {
            d.Exponent[2] = -128;
            d.Exponent[8] = 127;
            d.Exponent[5] = -48;  // the library's own key would hold a zero byte here
        });
        auto *quantity = add<Quantity>(okQuantity, [&](Quantity &q) {
            set_field(q.Name, "Длина");
            q.DimensionClass = length;
        });
        add<Quantity>(okQuantity, [&](Quantity &q) {
            set_field(q.Name, "Ёмкость");
            q.DimensionClass = odd;
        });
        auto *metre = add<Measure>(okMeasure, [&](Measure &m) {
            set_field(m.Mark, "м");
            set_field(m.Name, "метр");
            m.Coefficient = 1;
            m.DimensionClass = length;
        });
        add<Measure>(okMeasure, [&](Measure &m) {
            set_field(m.Mark, "М");
            m.Coefficient = 1.0L / 3;
        });
        auto *tie = add<Tie>(okTie, [&](Tie &t) {
            t.Quantity = quantity;
            t.Measure = metre;
        });
        add<Constant>(okConstant, [&](Constant &c) {
            set_field(c.Mark, "g");
            set_field(c.Name, "Ускорение свободного падения");
            c.Value = -0.0L;
            c.Tie = tie;
        });
        add<Constant>(okConstant, [&](Constant &c) {
            set_field(c.Mark, "e");
            c.Value = LDBL_TRUE_MIN;
        });
        add<Variable>(okVariable, [&](Variable &v) {
            set_field(v.Mark, "v");
            set_field(v.Description, "скорость");
            v.Formula = in_group;
            v.Tie = tie;
        });
        add<Variable>(okVariable, [&](Variable &v) {
            set_field(v.Mark, "s");
            v.Complex = complex;
        });
        add<Variable>(okVariable, [&](Variable &v) {
            set_field(v.Mark, "t");
            v.Formula = in_complex;
        });
        ChangeBaseName(file("fixture.tob").c_str());
        BaseDone();
        return file("fixture.tob");
    }

    fs::path dir_;
};

// The minimal document plus one array.
std::string with(const std::string &arrays) {
    return utf8(u8"{\"tessarin-base\": 1") + arrays + "}";
}

TEST_F(TextBase, ExportThenImportGivesTheSameBaseFile) {
    const fs::path original = write_fixture_base();
    const ToolRun exported = run({"export", original.string(), "-o", file("base.json").string()});
    ASSERT_EQ(exported.code, kExitOk) << exported.err;
    const std::string text = read_bytes(file("base.json"));
    // A few landmarks of the layout: one object per line, UTF-8 texts, keys for references.
    EXPECT_NE(text.find(utf8(u8"    {\"name\": \"Механика\", \"parent\": null},\n")), std::string::npos);
    EXPECT_NE(text.find(utf8(u8"\"complex\": {\"group\": \"ААААААА")), std::string::npos);
    EXPECT_NE(text.find("\"value\": \"-0\""), std::string::npos);
    EXPECT_NE(text.find("[0,0,-128,0,0,-48,0,0,127]"), std::string::npos);

    const ToolRun imported = run({"import", file("base.json").string(), "-o", file("copy.tob").string()});
    ASSERT_EQ(imported.code, kExitOk) << imported.err;
    EXPECT_EQ(read_bytes(file("copy.tob")), read_bytes(original));
    // Reading a base never rewrites it, and the copy exports to the same text.
    EXPECT_EQ(run({"export", file("copy.tob").string()}).out, text);
}

TEST_F(TextBase, SeveralDocumentsReadAsOne) {
    // The parent and the tie's quantity come from the later file.
    const auto first = document("1.json", with(utf8(u8R"(, "groups": [{"name": "Б", "parent": "А"}],
        "ties": [{"quantity": "Длина", "measure": "м"}])")));
    const auto second = document("2.json", with(utf8(u8R"(, "groups": [{"name": "А"}],
        "dimensions": [[1,0,0,0,0,0,0,0,0]], "quantities": [{"name": "длина", "dimension": [1,0,0,0,0,0,0,0,0]}],
        "measures": [{"mark": "м", "coefficient": "1", "dimension": [1,0,0,0,0,0,0,0,0]}])")));
    const ToolRun stats = run({"stats", first.string(), second.string()});
    ASSERT_EQ(stats.code, kExitOk) << stats.err;
    EXPECT_EQ(stats.out,
              "groups 2\ncomplexes 0\nformulas 0\ndimensions 1\nquantities 1\nmeasures 1\nties 1\n"
              "constants 0\nvariables 0\npictures 0\n");
    const ToolRun exported = run({"export", first.string(), second.string()});
    EXPECT_NE(exported.out.find(utf8(u8"{\"name\": \"Б\", \"parent\": \"А\"}")), std::string::npos);
}

TEST_F(TextBase, BadInputNamesTheFileArrayIndexAndKey) {
    const std::string dims = utf8(u8R"(, "dimensions": [[1,0,0,0,0,0,0,0,0]])");
    const struct {
        const char *what;
        std::string document;
        std::string message;
    } cases[] = {
        {"reference to nothing", with(utf8(u8R"(, "groups": [{"name": "А"}], "formulas": [{"content": "x=1"},
             {"content": "y=2", "group": "Б"}])")),
         utf8(u8"bad.json: formulas[1].group: no group named \"Б\"")},
        {"reference key of nothing",
         with(utf8(u8R"(, "variables": [{"mark": "x", "formula": {"group": null, "content": "x=1"}}])")),
         utf8(u8"bad.json: variables[0].formula: no formula \"x=1\" outside every group")},
        {"clash with folded case", with(utf8(u8R"(, "groups": [{"name": "ГРУППА"}, {"name": "группа"}])")),
         "bad.json: groups[1]: clashes with bad.json: groups[0] (the same name, Cyrillic case folded)"},
        {"character outside Windows-1251", with(utf8(u8R"(, "groups": [{"name": "☃"}])")),
         "bad.json: groups[0].name: the character U+2603 has no Windows-1251 form"},
        {"zero character", with(R"(, "groups": [{"name": "a\u0000b"}])"),
         "bad.json: groups[0].name: the text holds the character U+0000"},
        {"text too long", with(R"(, "groups": [{"name": ")" + std::string(64, 'x') + "\"}]"),
         "bad.json: groups[0].name: the text has 64 characters, and this field holds at most 63"},
        {"bad number", with(dims + R"(, "measures": [{"mark": "m", "coefficient": "1,5"}])"),
         "bad.json: measures[0].coefficient: \"1,5\" is not a number"},
        {"number out of range", with(R"(, "constants": [{"mark": "c", "value": "1e5000"}])"),
         "bad.json: constants[0].value: \"1e5000\" is beyond the range of the 80-bit real"},
        {"number not in quotes", with(R"(, "constants": [{"mark": "c", "value": 0.5}])"),
         "bad.json: constants[0].value: expected a decimal text in quotes"},
        {"missing number", with(R"(, "constants": [{"mark": "c"}])"),
         "bad.json: constants[0].value: the key is missing"},
        {"exponent out of range", with(R"(, "dimensions": [[1,0,0,0,0,0,0,0,128]])"),
         "bad.json: dimensions[0]: expected nine integers from -128 to 127"},
        {"dimension not listed", with(R"(, "quantities": [{"name": "q", "dimension": [2,0,0,0,0,0,0,0,0]}])"),
         "bad.json: quantities[0].dimension: no entry of dimensions has the exponents [2,0,0,0,0,0,0,0,0]"},
        {"unknown field", with(R"(, "groups": [{"nmae": "x"}])"), "bad.json: groups[0].nmae: unknown key"},
        {"unknown array", with(R"(, "group": [])"), "bad.json: group: unknown key"},
        {"duplicate key", with(R"(, "groups": [{"name": "a"}, {"name": "b", "name": "c"}])"),
         "bad.json: groups[1].name: the key appears twice"},
        {"parent cycle", with(R"(, "groups": [{"name": "a", "parent": "b"}, {"name": "b", "parent": "a"}])"),
         "bad.json: groups[0].parent: the chain of parents comes back to \"a\""},
        {"bad picture", with(R"(, "pictures": [{"id": "p", "bits": "AAAA"}])"),
         "bad.json: pictures[0].bits: holds 3 bytes; a picture is 7200"},
        {"picture id twice",
         with(R"(, "pictures": [{"id": "p", "bits": ")" + std::string(9600, 'A') +
              R"("}, {"id": "p", "bits": ")" + std::string(9600, 'A') + "\"}]"),
         "bad.json: pictures[1].id: the id is already used by bad.json: pictures[0]"},
        {"no marker", "{\"groups\": []}", "bad.json: the key \"tessarin-base\" is missing"},
        {"malformed JSON", "{\"tessarin-base\": 1,\n  \"groups\": [\n    {\"name\": \"a\",}\n  ]\n}",
         "bad.json:3:18: malformed JSON: syntax error"},
    };
    for (const auto &c : cases) {
        const auto input = document("bad.json", c.document);
        const ToolRun result = run({"import", input.string(), "-o", file("out.tob").string()});
        EXPECT_EQ(result.code, kExitBadInput) << c.what;
        std::string message = c.message;
        for (size_t at = 0; (at = message.find("bad.json", at)) != std::string::npos;
             at += input.string().size()) {
            message.replace(at, 8, input.string());
        }
        EXPECT_NE(result.err.find(message), std::string::npos) << c.what << "\n  got: " << result.err;
        EXPECT_FALSE(fs::exists(file("out.tob"))) << c.what;
    }
}

TEST_F(TextBase, ImportKeepsAnExistingBaseUnlessForced) {
    const auto input = document("a.json", with(R"(, "groups": [{"name": "a"}])"));
    write_bytes(file("out.tob"), "keep");
    const ToolRun refused = run({"import", input.string(), "-o", file("out.tob").string()});
    EXPECT_EQ(refused.code, kExitBadInput);
    EXPECT_NE(refused.err.find("exists; give --force"), std::string::npos);
    EXPECT_EQ(read_bytes(file("out.tob")), "keep");
    EXPECT_EQ(run({"import", input.string(), "-o", file("out.tob").string(), "--force"}).code, kExitOk);
    EXPECT_EQ(run({"stats", file("out.tob").string()}).out.substr(0, 9), "groups 1\n");
}

TEST_F(TextBase, UsageErrorsExitWithTwo) {
    for (const std::vector<std::string> &arguments : std::vector<std::vector<std::string>>{
             {}, {"frobnicate"}, {"import", "a.json"}, {"export"}, {"check", "--bogus"}, {"stats", "-o"}}) {
        const ToolRun result = run(arguments);
        EXPECT_EQ(result.code, kExitBadInput) << (arguments.empty() ? "" : arguments[0]);
        EXPECT_NE(result.err.find("tessarin-base: "), std::string::npos);
    }
    const ToolRun help = run({"--help"});
    EXPECT_EQ(help.code, kExitOk);
    EXPECT_NE(help.out.find("Exit codes:"), std::string::npos);
}

TEST_F(TextBase, CheckReportsEachProblemOnItsOwnLine) {
    const auto input = document("h.json", with(utf8(u8R"(,
        "groups": [{"name": "Г"}],
        "formulas": [{"content": "v=s/t", "group": "Г"}, {"content": "x=(1", "group": "Г"},
                     {"content": "a=b+c", "group": "Г"}],
        "dimensions": [[1,0,0,0,0,0,0,0,0], [0,0,1,0,0,0,0,0,0], [1,0,-1,0,0,0,0,0,0]],
        "quantities": [{"name": "Длина", "dimension": [1,0,0,0,0,0,0,0,0]},
                       {"name": "Время", "dimension": [0,0,1,0,0,0,0,0,0]},
                       {"name": "Скорость", "dimension": [1,0,-1,0,0,0,0,0,0]}],
        "measures": [{"mark": "м", "coefficient": "1", "dimension": [1,0,0,0,0,0,0,0,0]},
                     {"mark": "с", "coefficient": "1", "dimension": [0,0,1,0,0,0,0,0,0]},
                     {"mark": "м/с", "coefficient": "1", "dimension": [1,0,-1,0,0,0,0,0,0]}],
        "ties": [{"quantity": "Длина", "measure": "м"}, {"quantity": "Время", "measure": "с"},
                 {"quantity": "Скорость", "measure": "м/с"}, {"quantity": "Время", "measure": "м"}],
        "constants": [{"mark": "c", "value": "1", "tie": {"quantity": "Время", "measure": "с"}}],
        "variables": [
          {"mark": "v", "tie": {"quantity": "Скорость", "measure": "м/с"}, "formula": {"group": "Г", "content": "v=s/t"}},
          {"mark": "s", "tie": {"quantity": "Длина", "measure": "м"}, "formula": {"group": "Г", "content": "v=s/t"}},
          {"mark": "t", "tie": {"quantity": "Время", "measure": "с"}, "formula": {"group": "Г", "content": "v=s/t"}},
          {"mark": "w", "formula": {"group": "Г", "content": "v=s/t"}},
          {"mark": "a", "tie": {"quantity": "Длина", "measure": "м"}, "formula": {"group": "Г", "content": "a=b+c"}},
          {"mark": "b", "tie": {"quantity": "Длина", "measure": "м"}, "formula": {"group": "Г", "content": "a=b+c"}}]
    )")));
    const ToolRun result = run({"check", input.string()});
    EXPECT_EQ(result.code, kExitProblems) << result.err;
    const std::string expected[] = {
        utf8(
            u8"h.json: ties[3] (\"Время\", \"м\"): its measure has the dimension [1,0,0,0,0,0,0,0,0] and its "
            u8"quantity [0,0,1,0,0,0,0,0,0]\n"),
        utf8(u8"h.json: formulas[1] \"x=(1\": it does not parse: Число правых и левых скобок не совпадает "
             u8"(code 24)\n"),
        // c is the constant of that mark, a time: a length plus a time.
        utf8(u8"h.json: formulas[2] \"a=b+c\": its dimensions disagree: Несовпадение размерностей (code "
             u8"37)\n"),
        "h.json: variables[3] \"w\": its formula has no variable of that mark\n",
    };
    const std::string folder = input.string().substr(0, input.string().size() - std::string("h.json").size());
    std::string all;
    for (const auto &line : expected) all += folder + line;
    EXPECT_EQ(result.out, all);
}

TEST_F(TextBase, CheckPassesAConsistentBaseAndReadsBaseFiles) {
    const fs::path base = write_fixture_base();
    const ToolRun result = run({"check", base.string()});
    EXPECT_EQ(result.code, kExitOk) << result.out;
    EXPECT_EQ(result.out, "");
}

TEST(Reals, ShortestTextReadsBackToTheSameBits) {
    const struct {
        long double value;
        const char *text;
    } cases[] = {
        {1, "1"},
        {0.5L, "0.5"},
        {0.1L, "0.1"},
        {-0.0L, "-0"},
        {9.80665L, "9.80665"},
        {1.0L / 3, "0.33333333333333333334"},
        {0.1, "0.10000000000000000555"},  // the double nearest 0.1 needs more digits
        {LDBL_MAX, "1.189731495357231765e+4932"},
        {LDBL_TRUE_MIN, "4e-4951"},
        {std::numeric_limits<long double>::infinity(), "inf"},
        {-std::numeric_limits<long double>::infinity(), "-inf"},
    };
    for (const auto &c : cases) {
        const auto text = format_real(c.value);
        ASSERT_TRUE(text) << c.text;
        EXPECT_EQ(*text, c.text);
        std::string why;
        const auto back = parse_real(*text, why);
        ASSERT_TRUE(back) << why;
        EXPECT_TRUE(same_bits(*back, c.value)) << c.text;
    }
    const auto nan = format_real(std::numeric_limits<long double>::quiet_NaN());
    ASSERT_TRUE(nan);
    std::string why;
    EXPECT_TRUE(std::isnan(*parse_real(*nan, why)));
}

TEST(Reals, RefusesTextsThatAreNotExactlyANumber) {
    for (const char *text : {"", " 1", "1 ", "1,5", "1.5x", "e3", "1e99999"}) {
        std::string why;
        EXPECT_FALSE(parse_real(text, why)) << text;
        EXPECT_FALSE(why.empty()) << text;
    }
}

TEST(Encoding, ConvertsBetweenUtf8AndWindows1251) {
    EXPECT_EQ(utf8_to_cp1251(utf8(u8"Ёё Ампер €")), "Ёё Ампер €");
    EXPECT_EQ(cp1251_to_utf8("Ёё Ампер €"), utf8(u8"Ёё Ампер €"));
    EXPECT_THROW(utf8_to_cp1251("\xFF"), EncodingError);
    EXPECT_THROW(cp1251_to_utf8("a\x98"), EncodingError);
    EXPECT_EQ(fold_case("СИЛА Ohm ЁМКОСТЬ"), "сила Ohm Ёмкость");
}

}  // namespace
