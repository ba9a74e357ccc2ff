#include "queries.h"

#include <algorithm>
#include <optional>

namespace base {
namespace {

using KindSets = std::array<HashSet<void *>, kKindCount + 1>;

void clear(ObjectList *list) {
    if (list) list->Count = 0;
}

// Never past the 65,535 items a 16-bit count can tell.
bool append(ObjectList *list, void *item) {
    if (!list || list->Count >= kListLimit) return false;
    list->Items[list->Count++] = item;
    return true;
}

std::string_view text_or_empty(const char *text) {
    return text ? std::string_view(text) : std::string_view();
}

// The list of a kind with its index brought up to date with in-place edits.
const std::vector<void *> &scanned(OpenBase &base, ObjectKind kind) {
    KindList &list = base.list(kind);
    list.refresh();
    return list.items();
}

template <class Record, class Field>
void select_where(OpenBase &base, ObjectKind kind, Field Record::*field, const void *parent,
                  ObjectList *objects) {
    for (void *object : scanned(base, kind))
        if (static_cast<const Record *>(object)->*field == parent) append(objects, object);
}

// For each tie of the parent, in tie list order, the tie's other end.
template <class Near, class Far>
void select_through_ties(OpenBase &base, Near *Tie::*near, Far *Tie::*far, ObjectKind far_kind,
                         const void *parent, ObjectList *objects) {
    base.list(far_kind).refresh();
    for (void *object : scanned(base, okTie)) {
        auto *tie = static_cast<const Tie *>(object);
        if (tie->*near == parent) append(objects, tie->*far);
    }
}

struct SearchFields {
    std::string_view name;
    std::optional<std::string_view> mark;  // nothing: the kind has no mark field
};

SearchFields search_fields(ObjectKind kind, const void *object) {
    switch (kind) {
        case okGroup:
            return {field_text(static_cast<const Group *>(object)->Name), std::nullopt};
        case okComplex:
            return {field_text(static_cast<const Complex *>(object)->Name), std::nullopt};
        case okFormula: {
            auto *formula = static_cast<const Formula *>(object);
            return {field_text(formula->Description), field_text(formula->Content)};
        }
        case okQuantity:
            return {field_text(static_cast<const Quantity *>(object)->Name), std::nullopt};
        case okMeasure: {
            auto *measure = static_cast<const Measure *>(object);
            return {field_text(measure->Name), field_text(measure->Mark)};
        }
        case okConstant: {
            auto *constant = static_cast<const Constant *>(object);
            return {field_text(constant->Name), field_text(constant->Mark)};
        }
        case okVariable: {
            auto *variable = static_cast<const Variable *>(object);
            return {field_text(variable->Description), field_text(variable->Mark)};
        }
        default:
            return {};
    }
}

bool matches(const SearchFields &fields, const std::string &folded_name, std::string_view mark) {
    if (!mark.empty() && (!fields.mark || fields.mark->find(mark) == std::string_view::npos)) return false;
    return folded_name.empty() || fold_case(fields.name).find(folded_name) != std::string::npos;
}

// ---- removal ---------------------------------------------------------------

template <class Record>
Record *record(void *object) {
    return static_cast<Record *>(object);
}

// Every group below the root, at any depth; a ring of parents made by
// in-place edits ends where it comes back.
void collect_subgroups(OpenBase &base, void *root, HashSet<void *> &groups) {
    HashMap<void *, std::vector<void *>> children;
    for (void *group : base.list(okGroup).items()) children[record<Group>(group)->Parent].push_back(group);
    std::vector<void *> work{root};
    while (!work.empty()) {
        void *group = work.back();
        work.pop_back();
        auto found = children.find(group);
        if (found == children.end()) continue;
        for (void *child : found->second)
            if (groups.insert(child).second) work.push_back(child);
    }
}

template <class Pred>
void collect(OpenBase &base, ObjectKind kind, HashSet<void *> &into, Pred depends) {
    for (void *object : base.list(kind).items())
        if (depends(object)) into.insert(object);
}

// A picture goes with the complexes and formulas taken out when none that
// stays in the base shows it.
void collect_pictures(OpenBase &base, KindSets &out) {
    HashSet<void *> candidates;
    for (void *complex : out[okComplex])
        if (record<Complex>(complex)->Picture) candidates.insert(record<Complex>(complex)->Picture);
    for (void *formula : out[okFormula])
        if (record<Formula>(formula)->Picture) candidates.insert(record<Formula>(formula)->Picture);
    if (candidates.empty()) return;
    for (void *complex : base.list(okComplex).items())
        if (!out[okComplex].contains(complex)) candidates.erase(record<Complex>(complex)->Picture);
    for (void *formula : base.list(okFormula).items())
        if (!out[okFormula].contains(formula)) candidates.erase(record<Formula>(formula)->Picture);
    out[okPicture].merge(candidates);
}

// The object and everything that depends on it.  The kinds are taken in an
// order in which every dependent comes after what it depends on, so one pass
// per kind gives the whole cascade.
KindSets dependents_of(OpenBase &base, ObjectKind kind, void *root) {
    KindSets out;
    out[kind].insert(root);
    if (kind == okGroup) collect_subgroups(base, root, out[okGroup]);
    auto in = [&out](ObjectKind k, const void *object) {
        return object && out[k].contains(const_cast<void *>(object));
    };
    collect(base, okComplex, out[okComplex], [&](void *c) { return in(okGroup, record<Complex>(c)->Group); });
    collect(base, okFormula, out[okFormula], [&](void *f) {
        return in(okGroup, record<Formula>(f)->Group) || in(okComplex, record<Formula>(f)->Complex);
    });
    collect(base, okVariable, out[okVariable], [&](void *v) {
        return in(okComplex, record<Variable>(v)->Complex) || in(okFormula, record<Variable>(v)->Formula);
    });
    collect_pictures(base, out);
    collect(base, okQuantity, out[okQuantity],
            [&](void *q) { return in(okDimensionClass, record<Quantity>(q)->DimensionClass); });
    collect(base, okMeasure, out[okMeasure],
            [&](void *m) { return in(okDimensionClass, record<Measure>(m)->DimensionClass); });
    collect(base, okTie, out[okTie], [&](void *t) {
        return in(okQuantity, record<Tie>(t)->Quantity) || in(okMeasure, record<Tie>(t)->Measure);
    });
    return out;
}

// What stays in the base never points at what left it.
void clear_references(OpenBase &base, const KindSets &removed) {
    std::array<bool, kKindCount + 1> keys_changed{};
    for (const ReferenceField &field : reference_fields()) {
        const auto &targets = removed[field.target];
        if (targets.empty()) continue;
        for (void *holder : base.list(field.holder).items()) {
            void *target = reference(holder, field);
            if (!target || !targets.contains(target)) continue;
            set_reference(holder, field, nullptr);
            keys_changed[field.holder] = keys_changed[field.holder] || field.identity;
        }
    }
    for (int kind = okGroup; kind <= okPicture; ++kind)
        if (keys_changed[kind]) base.list(static_cast<ObjectKind>(kind)).refresh();
}

}  // namespace

void *find_unique_object(ObjectKind kind, const char *key, void *first, void *second) {
    OpenBase *base = current_base();
    std::string wanted;
    if (!base || !has_identity(kind) || !lookup_key(kind, text_or_empty(key), first, second, wanted))
        return nullptr;
    KindList &list = base->list(kind);
    void *found = list.find(wanted);
    // A miss is only believed once the kind has been re-read: a record edited
    // in place may have taken the key since it was filed.
    if (!found && list.refresh()) found = list.find(wanted);
    return found;
}

void find_objects(KindSet kinds, const char *name, const char *mark, ObjectList *objects,
                  ObjectList *kind_list) {
    clear(objects);
    OpenBase *base = current_base();
    if (!base) return;
    std::string folded_name = fold_case(text_or_empty(name));
    std::string_view wanted_mark = text_or_empty(mark);
    for (ObjectKind kind : {okGroup, okComplex, okFormula, okQuantity, okMeasure, okConstant, okVariable}) {
        if (!(kinds & (1u << kind))) continue;
        for (void *object : scanned(*base, kind)) {
            if (!matches(search_fields(kind, object), folded_name, wanted_mark)) continue;
            if (!append(objects, object)) return;
            append(kind_list, reinterpret_cast<void *>(static_cast<uintptr_t>(kind)));
        }
    }
}

void select_all(ObjectKind kind, ObjectList *objects) {
    clear(objects);
    OpenBase *base = current_base();
    if (!base || !valid_kind(kind)) return;
    for (void *object : scanned(*base, kind)) append(objects, object);
}

void select_children(ObjectKind parent_kind, void *parent, ObjectKind child_kind, ObjectList *objects) {
    clear(objects);
    OpenBase *base = current_base();
    if (!base) return;
    switch (parent_kind << 8 | child_kind) {
        case okGroup << 8 | okGroup:
            select_where(*base, okGroup, &Group::Parent, parent, objects);
            break;
        case okGroup << 8 | okComplex:
            select_where(*base, okComplex, &Complex::Group, parent, objects);
            break;
        case okGroup << 8 | okFormula:
            select_where(*base, okFormula, &Formula::Group, parent, objects);
            break;
        case okComplex << 8 | okFormula:
            select_where(*base, okFormula, &Formula::Complex, parent, objects);
            break;
        case okComplex << 8 | okVariable:
            select_where(*base, okVariable, &Variable::Complex, parent, objects);
            break;
        case okFormula << 8 | okVariable:
            select_where(*base, okVariable, &Variable::Formula, parent, objects);
            break;
        case okDimensionClass << 8 | okQuantity:
            select_where(*base, okQuantity, &Quantity::DimensionClass, parent, objects);
            break;
        case okDimensionClass << 8 | okMeasure:
            select_where(*base, okMeasure, &Measure::DimensionClass, parent, objects);
            break;
        case okQuantity << 8 | okMeasure:
            select_through_ties(*base, &Tie::Quantity, &Tie::Measure, okMeasure, parent, objects);
            break;
        case okQuantity << 8 | okTie:
            select_where(*base, okTie, &Tie::Quantity, parent, objects);
            break;
        case okMeasure << 8 | okQuantity:
            select_through_ties(*base, &Tie::Measure, &Tie::Quantity, okQuantity, parent, objects);
            break;
        case okMeasure << 8 | okTie:
            select_where(*base, okTie, &Tie::Measure, parent, objects);
            break;
        default:
            break;
    }
}

void object_path(ObjectKind kind, const void *object, char *path, std::size_t capacity) {
    if (!path || capacity == 0) return;
    std::vector<const char *> names;  // from the object up to the top
    std::string_view own;
    const Group *group = nullptr;
    if (object && kind == okGroup) {
        group = static_cast<const Group *>(object);
    } else if (object && kind == okComplex) {
        own = field_text(static_cast<const Complex *>(object)->Name);
        group = static_cast<const Complex *>(object)->Group;
    }
    std::vector<std::string_view> chain;
    HashSet<const Group *> seen;
    for (; group && seen.insert(group).second; group = group->Parent)
        chain.push_back(field_text(group->Name));
    std::string text;
    for (auto name = chain.rbegin(); name != chain.rend() && text.size() < capacity; ++name) {
        if (name != chain.rbegin()) text += "\\ ";
        text += *name;
    }
    if (kind == okComplex && object) {
        text += "\\ ";
        text += own;
    }
    std::size_t length = std::min(text.size(), capacity - 1);
    std::memcpy(path, text.data(), length);
    path[length] = '\0';
}

bool is_object_used(ObjectKind kind, const void *object) {
    OpenBase *base = current_base();
    if (!base || kind != okDimensionClass || !object) return false;
    for (void *quantity : base->list(okQuantity).items())
        if (record<Quantity>(quantity)->DimensionClass == object) return true;
    for (void *measure : base->list(okMeasure).items())
        if (record<Measure>(measure)->DimensionClass == object) return true;
    return false;
}

void base_statistic(BaseStatistics *statistics) {
    OpenBase *base = current_base();
    if (!statistics) return;
    for (int kind = okGroup; kind <= okPicture; ++kind)
        statistics->Count[kind - 1] =
            base ? static_cast<uint16_t>(base->list(static_cast<ObjectKind>(kind)).size()) : 0;
}

void remove_from_base(ObjectKind kind, void *object) {
    OpenBase *base = current_base();
    if (!base || !valid_kind(kind) || !object) return;
    KindSets removed = dependents_of(*base, kind, object);
    base->take_out(removed, object);
    clear_references(*base, removed);
}

}  // namespace base
