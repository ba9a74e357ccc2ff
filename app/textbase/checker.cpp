#include "checker.h"

#include <array>
#include <cstdio>
#include <memory>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "base.h"
#include "base_view.h"
#include "encoding.h"
#include "solver.h"

namespace textbase {
namespace {

constexpr std::array<std::string_view, 46> kSolverMessages = {
    "Пустое выражение",
    "Неверный символ в выражении",
    "Неверный идентификатор в выражении",
    "Неверный формат номера в выражении",
    "Пустое выражение слева от отношения",
    "Неверная лексема символов перед отношением",
    "Функция без аргумента перед отношением",
    "Пустой первый операнд перед бинарной операцией",
    "Неверная лексема перед бинарной операцией",
    "Функция без аргумента перед операцией",
    "Отношение перед операцией",
    "Неверная лексема перед операцией",
    "Неверное выражение перед запятой",
    "Нет правой скобки перед запятой",
    "Отношение перед запятой",
    "Функция без аргумента перед запятой",
    "Неверное выражение перед левой скобкой",
    "Неверное выражение перед правой скобкой",
    "Функция без аргумента перед правой скобкой",
    "Отношение перед правой скобкой",
    "Правых скобок больше чем левых",
    "Завершающая функция без аргумента",
    "Завершающее отношение",
    "Число правых и левых скобок не совпадает",
    "Отсутствует второй аргумент функции",
    "Второй аргумент в одноаргументной функции",
    "При подстановке выражения обнаружено отношение",
    "Недопустимый аргумент функции",
    "Деление на ноль",
    "Переменная с таким именем не найдена",
    "В данном выражении отсутствуют отношения",
    "Переменная встречается больше одного раза в выражении",
    "В данном выражении отсуствует результирующая переменная",
    "Выражение неупорядочено",
    "Задача не может быть решена",
    "Требуется безразмерная величина",
    "Несовпадение размерностей",
    "Размерность не может быть дробной",
    "Значение не определено",
    "Число не целое",
    "Недоопределены некоторые размерности",
    "Недопустима нулевая степень",
    "Неверный формат выражения",
    "Нет такого выражения в комплексе",
    "Индекс выходит за границы массива",
    "Все переменные одной из формул являются исходными",
};

struct ExpressionDeleter {
    void operator()(SolverNode *e) const { DestroyExpression(e); }
};
using ExpressionHandle = std::unique_ptr<SolverNode, ExpressionDeleter>;

struct CollectionDeleter {
    void operator()(SolverCollection *c) const { DestroyCollection(c); }
};
using CollectionHandle = std::unique_ptr<SolverCollection, CollectionDeleter>;

// A text of a record for a message; bytes Windows-1251 lacks are shown as
// hex rather than failing the whole check.
std::string display(std::string_view cp1251) {
    try {
        return "\"" + cp1251_to_utf8(cp1251) + "\"";
    } catch (const EncodingError &) {
        std::string out = "\"";
        for (char c : cp1251) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte == 0x98) {
                out += "\\x98";
            } else {
                out += cp1251_to_utf8(std::string_view(&c, 1));
            }
        }
        return out + "\"";
    }
}

std::string exponents_text(const int8_t (&exponent)[9]) {
    std::string out = "[";
    for (int i = 0; i < 9; ++i) out += (i ? "," : "") + std::to_string(int{exponent[i]});
    return out + "]";
}

std::vector<std::string> split_names(const std::string &joined) {
    std::vector<std::string> names;
    if (joined.empty()) return names;
    size_t start = 0;
    for (size_t at; (at = joined.find(';', start)) != std::string::npos; start = at + 1) {
        names.push_back(joined.substr(start, at - start));
    }
    names.push_back(joined.substr(start));
    return names;
}

class Checker {
  public:
    explicit Checker(const Origins *origins) : origins_(origins), buffer_(SOLVER_TEXT_BUFFER, '\0') {}

    std::vector<std::string> run() {
        check_texts();
        check_references();
        check_clashes();
        check_group_parents();
        check_pictures();
        check_quantities_and_ties();
        check_constants();
        index_descriptions();
        check_formulas();
        check_complexes();
        check_variables();
        return std::move(problems_);
    }

  private:
    // ---- naming

    std::string where(ObjectKind kind, size_t index) const {
        const std::string position = std::string(array_name(kind)) + "[";
        if (origins_ && index < (*origins_)[kind - 1].size()) {
            const Origin &origin = (*origins_)[kind - 1][index];
            return origin.file + ": " + position + std::to_string(origin.index) + "]";
        }
        return position + std::to_string(index) + "]";
    }

    std::string label(ObjectKind kind, const void *object) const {
        switch (kind) {
            case okGroup:
                return display(field_text(static_cast<const Group *>(object)->Name));
            case okComplex:
                return display(field_text(static_cast<const Complex *>(object)->Name));
            case okFormula:
                return display(field_text(static_cast<const Formula *>(object)->Content));
            case okDimensionClass:
                return exponents_text(static_cast<const DimensionClass *>(object)->Exponent);
            case okQuantity:
                return display(field_text(static_cast<const Quantity *>(object)->Name));
            case okMeasure:
                return display(field_text(static_cast<const Measure *>(object)->Mark));
            case okTie: {
                const auto *t = static_cast<const Tie *>(object);
                const std::string q =
                    valid(okQuantity, t->Quantity) ? display(field_text(t->Quantity->Name)) : "?";
                const std::string m =
                    valid(okMeasure, t->Measure) ? display(field_text(t->Measure->Mark)) : "?";
                return "(" + q + ", " + m + ")";
            }
            case okConstant:
                return display(field_text(static_cast<const Constant *>(object)->Mark));
            case okVariable:
                return display(field_text(static_cast<const Variable *>(object)->Mark));
            default:
                return "";
        }
    }

    std::string name(ObjectKind kind, const void *object) const {
        const std::string text = label(kind, object);
        return where(kind, static_cast<size_t>(base_.position(kind, object))) +
               (text.empty() ? "" : " " + text);
    }

    void report(ObjectKind kind, const void *object, const std::string &problem) {
        problems_.push_back(name(kind, object) + ": " + problem);
    }

    // Only references into the base are followed: anything else may point
    // at freed memory.
    bool valid(ObjectKind kind, const void *object) const { return base_.contains(kind, object); }

    template <typename Record, typename Visit>
    void for_each(ObjectKind kind, Visit visit) {
        for (void *object : base_.objects(kind)) visit(static_cast<Record *>(object));
    }

    // ---- records

    template <size_t N>
    void check_text(ObjectKind kind, const void *object, const char (&field)[N], std::string_view what) {
        if (field_text(field).size() == N) {
            report(kind, object, "its " + std::string(what) + " fills the field with no terminating zero");
        }
    }

    void check_texts() {
        for_each<Group>(okGroup, [&](Group *g) { check_text(okGroup, g, g->Name, "name"); });
        for_each<Complex>(okComplex, [&](Complex *c) { check_text(okComplex, c, c->Name, "name"); });
        for_each<Formula>(okFormula, [&](Formula *f) {
            check_text(okFormula, f, f->Description, "description");
            check_text(okFormula, f, f->Content, "content");
        });
        for_each<Quantity>(okQuantity, [&](Quantity *q) { check_text(okQuantity, q, q->Name, "name"); });
        for_each<Measure>(okMeasure, [&](Measure *m) {
            check_text(okMeasure, m, m->Mark, "mark");
            check_text(okMeasure, m, m->Name, "name");
        });
        for_each<Constant>(okConstant, [&](Constant *c) {
            check_text(okConstant, c, c->Mark, "mark");
            check_text(okConstant, c, c->Name, "name");
        });
        for_each<Variable>(okVariable, [&](Variable *v) {
            check_text(okVariable, v, v->Mark, "mark");
            check_text(okVariable, v, v->Description, "description");
        });
    }

    void check_reference(ObjectKind kind, const void *object, ObjectKind target_kind, const void *target,
                         std::string_view field) {
        if (target && !valid(target_kind, target)) {
            report(kind, object,
                   "its " + std::string(field) + " refers to an object that is not in the base");
        }
    }

    void check_references() {
        for_each<Group>(okGroup,
                        [&](Group *g) { check_reference(okGroup, g, okGroup, g->Parent, "parent"); });
        for_each<Complex>(okComplex, [&](Complex *c) {
            check_reference(okComplex, c, okGroup, c->Group, "group");
            check_reference(okComplex, c, okPicture, c->Picture, "picture");
        });
        for_each<Formula>(okFormula, [&](Formula *f) {
            check_reference(okFormula, f, okGroup, f->Group, "group");
            check_reference(okFormula, f, okComplex, f->Complex, "complex");
            check_reference(okFormula, f, okPicture, f->Picture, "picture");
        });
        for_each<Quantity>(okQuantity, [&](Quantity *q) {
            check_reference(okQuantity, q, okDimensionClass, q->DimensionClass, "dimension");
        });
        for_each<Measure>(okMeasure, [&](Measure *m) {
            check_reference(okMeasure, m, okDimensionClass, m->DimensionClass, "dimension");
        });
        for_each<Tie>(okTie, [&](Tie *t) {
            check_reference(okTie, t, okQuantity, t->Quantity, "quantity");
            check_reference(okTie, t, okMeasure, t->Measure, "measure");
        });
        for_each<Constant>(okConstant,
                           [&](Constant *c) { check_reference(okConstant, c, okTie, c->Tie, "tie"); });
        for_each<Variable>(okVariable, [&](Variable *v) {
            check_reference(okVariable, v, okComplex, v->Complex, "complex");
            check_reference(okVariable, v, okFormula, v->Formula, "formula");
            check_reference(okVariable, v, okTie, v->Tie, "tie");
        });
    }

    void check_clashes() {
        for (int k = 1; k <= kKindCount; ++k) {
            const auto kind = static_cast<ObjectKind>(k);
            std::unordered_map<std::string, const void *> first;
            for (const void *object : base_.objects(kind)) {
                const auto key = identity_key(kind, object);
                if (!key) continue;
                const auto [at, fresh] = first.emplace(*key, object);
                if (!fresh) {
                    report(kind, object,
                           "clashes with " + name(kind, at->second) + " (" +
                               std::string(identity_rule(kind)) + ")");
                }
            }
        }
    }

    // A cycle of parents would send every walk up the tree round forever.
    void check_group_parents() {
        std::unordered_set<const Group *> settled;
        for_each<Group>(okGroup, [&](Group *group) {
            std::unordered_set<const Group *> chain;
            for (const Group *g = group; g && valid(okGroup, g) && !settled.count(g); g = g->Parent) {
                if (!chain.insert(g).second) {
                    if (g == group) report(okGroup, group, "its chain of parents comes back to itself");
                    break;
                }
            }
            settled.insert(chain.begin(), chain.end());
        });
    }

    void check_pictures() {
        for_each<Picture>(okPicture, [&](Picture *p) {
            if (const size_t runs = picture_runs(*p); runs > kMaxPictureRuns) {
                report(okPicture, p,
                       "too detailed for the base file: it needs " + std::to_string(runs) +
                           " runs, at most " + std::to_string(kMaxPictureRuns) + " fit");
            }
        });
    }

    void check_quantities_and_ties() {
        for_each<Quantity>(okQuantity, [&](Quantity *q) {
            if (!q->DimensionClass) report(okQuantity, q, "it has no dimension");
        });
        for_each<Tie>(okTie, [&](Tie *t) {
            if (!t->Quantity) report(okTie, t, "it has no quantity");
            if (!t->Measure) report(okTie, t, "it has no measure");
            if (!valid(okQuantity, t->Quantity) || !valid(okMeasure, t->Measure)) return;
            const DimensionClass *quantity = t->Quantity->DimensionClass;
            const DimensionClass *measure = t->Measure->DimensionClass;
            if (!valid(okDimensionClass, quantity)) return;
            if (!valid(okDimensionClass, measure)) {
                if (!measure)
                    report(
                        okTie, t,
                        "its measure has no dimension, its quantity " + exponents_text(quantity->Exponent));
                return;
            }
            if (dimension_key(quantity->Exponent) != dimension_key(measure->Exponent)) {
                report(okTie, t,
                       "its measure has the dimension " + exponents_text(measure->Exponent) +
                           " and its quantity " + exponents_text(quantity->Exponent));
            }
        });
    }

    // The dimension a tie gives, when the tie leads all the way to a dimension class.
    std::optional<Dimension> tie_dimension(const Tie *tie) const {
        if (!valid(okTie, tie) || !valid(okQuantity, tie->Quantity) || !valid(okMeasure, tie->Measure) ||
            !valid(okDimensionClass, tie->Quantity->DimensionClass)) {
            return std::nullopt;
        }
        Dimension d{};
        std::copy(std::begin(tie->Quantity->DimensionClass->Exponent),
                  std::end(tie->Quantity->DimensionClass->Exponent), d.Exponent);
        return d;
    }

    void check_tie_complete(ObjectKind kind, const void *object, const Tie *tie) {
        if (!valid(okTie, tie)) return;
        if (!valid(okQuantity, tie->Quantity) || !valid(okMeasure, tie->Measure)) {
            report(kind, object, "its tie does not name an existing quantity and measure");
        }
    }

    void check_constants() {
        for_each<Constant>(okConstant, [&](Constant *c) { check_tie_complete(okConstant, c, c->Tie); });
    }

    // ---- formulas and complexes

    void index_descriptions() {
        for_each<Variable>(okVariable, [&](Variable *v) {
            descriptions_.emplace(variable_key(v->Complex, v->Formula, field_text(v->Mark)), v);
        });
        for_each<Constant>(okConstant,
                           [&](Constant *c) { constants_.emplace(std::string(field_text(c->Mark)), c); });
    }

    // The dimension of a formula variable from its description's tie, else
    // from the constant of that mark (a constant without a unit is
    // dimensionless); nothing when the variable is not tied.
    std::optional<Dimension> variable_dimension(const Complex *complex, const Formula *formula,
                                                const std::string &name) const {
        if (const auto it = descriptions_.find(variable_key(complex, formula, name));
            it != descriptions_.end() && it->second->Tie) {
            return tie_dimension(it->second->Tie);
        }
        if (const auto it = constants_.find(name); it != constants_.end()) {
            if (!it->second->Tie) return Dimension{};
            return tie_dimension(it->second->Tie);
        }
        return std::nullopt;
    }

    std::string solver_problem(const std::string &what, uint16_t code) const {
        return what + ": " + solver_message(code) + " (code " + std::to_string(code) + ")";
    }

    ExpressionHandle parse(const Formula *formula) {
        const std::string content(field_text(formula->Content));
        ExpressionHandle expression(CreateExpression(content.c_str()));
        if (const uint16_t code = SolverLastResult(); code != 0 || !expression) {
            report(okFormula, formula, solver_problem("it does not parse", code));
            return nullptr;
        }
        return expression;
    }

    std::vector<std::string> expression_variables(Expression expression) {
        char *out = buffer_.data();
        out[0] = '\0';
        ExpressionVariables(expression, &out);
        return split_names(std::string(buffer_.data()));
    }

    std::vector<std::string> collection_variables(Collection collection) {
        char *out = buffer_.data();
        out[0] = '\0';
        CollectionVariables(collection, &out);
        return split_names(std::string(buffer_.data()));
    }

    void check_formulas() {
        for_each<Formula>(okFormula, [&](Formula *f) {
            if (f->Group && f->Complex) report(okFormula, f, "it belongs to both a group and a complex");
            ExpressionHandle expression = parse(f);
            if (!expression) return;
            const auto names = expression_variables(expression.get());
            variables_of_[f] = {names.begin(), names.end()};
            if (f->Complex) return;  // its variables are described by the complex
            for (const std::string &name : names) {
                const auto dimension = variable_dimension(nullptr, f, name);
                if (!dimension) return;
                SetExpressionVariableDimension(expression.get(), name.c_str(), &*dimension);
            }
            DimensingExpression(expression.get());
            if (const uint16_t code = SolverLastResult(); code != 0) {
                report(okFormula, f, solver_problem("its dimensions disagree", code));
            }
        });
    }

    void check_complexes() {
        std::unordered_map<const Complex *, std::vector<const Formula *>> members;
        for_each<Formula>(okFormula, [&](Formula *f) {
            if (valid(okComplex, f->Complex)) members[f->Complex].push_back(f);
        });
        for_each<Complex>(okComplex, [&](Complex *c) {
            const auto it = members.find(c);
            if (it == members.end()) return;
            CollectionHandle collection(CreateCollection());
            for (const Formula *f : it->second) {
                if (!variables_of_.count(f)) return;  // it does not parse: reported with the formula
                const std::string content(field_text(f->Content));
                Expression expression = CreateExpression(content.c_str());
                if (SolverLastResult() != 0 || !expression) {
                    DestroyExpression(expression);
                    return;
                }
                AddToCollection(collection.get(), expression);
            }
            const auto names = collection_variables(collection.get());
            variables_of_[c] = {names.begin(), names.end()};
            for (const std::string &name : names) {
                const auto dimension = variable_dimension(c, nullptr, name);
                if (!dimension) return;
                SetCollectionVariableDimension(collection.get(), name.c_str(), &*dimension);
            }
            DimensingCollection(collection.get());
            if (const uint16_t code = SolverLastResult(); code != 0) {
                report(okComplex, c, solver_problem("its dimensions disagree", code));
            }
        });
    }

    void check_variables() {
        for_each<Variable>(okVariable, [&](Variable *v) {
            if (v->Formula && v->Complex) report(okVariable, v, "it belongs to both a formula and a complex");
            if (!v->Formula && !v->Complex) report(okVariable, v, "it belongs to no formula and no complex");
            check_tie_complete(okVariable, v, v->Tie);
            const void *owner = v->Formula ? static_cast<const void *>(v->Formula) : v->Complex;
            const auto it = variables_of_.find(owner);
            if (it != variables_of_.end() && !it->second.count(std::string(field_text(v->Mark)))) {
                report(okVariable, v,
                       std::string(v->Formula ? "its formula" : "its complex") +
                           " has no variable of that mark");
            }
        });
    }

    const Origins *origins_;
    BaseSnapshot base_;
    std::vector<std::string> problems_;
    std::string buffer_;
    std::unordered_map<std::string, const Variable *> descriptions_;
    std::unordered_map<std::string, const Constant *> constants_;
    // The variables of every formula and complex that parsed.
    std::unordered_map<const void *, std::unordered_set<std::string>> variables_of_;
};

}  // namespace

std::string solver_message(unsigned code) {
    if (code >= 1 && code <= kSolverMessages.size()) return std::string(kSolverMessages[code - 1]);
    return "неизвестная ошибка";
}

std::vector<std::string> check_base(const Origins *origins) {
    return Checker(origins).run();
}

}  // namespace textbase
