// The object base at the size of a large handbook: 60,000 objects of mixed
// kinds built through AddToBase, written, read back, looked up and removed.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base.h"

namespace {

class Scratch {
  public:
    Scratch() {
        char pattern[] = "/tmp/bench-base-XXXXXX";
        dir_ = mkdtemp(pattern);
    }
    ~Scratch() { std::filesystem::remove_all(dir_); }
    std::string file(const char *name) const { return (dir_ / name).string(); }

  private:
    std::filesystem::path dir_;
};

// An empty base backed by a file of just the signature.
void open_empty(const std::string &name) {
    std::ofstream(name, std::ios::binary).write("TDB\x01\x00", 5);
    BaseInit(name.c_str());
}

template <class T, std::size_t N>
void name(char (&field)[N], const char *prefix, int i) {
    std::snprintf(field, N, "%s %d", prefix, i);
}

template <class T>
T *make(ObjectKind kind) {
    return static_cast<T *>(NewObject(kind));
}

// The mix of a large base: many formulas and variables, fewer of the rest.
struct Mix {
    int groups = 3000, complexes = 3000, formulas = 15000, dimensions = 100, quantities = 3000,
        measures = 6000, ties = 9000, constants = 2000, variables = 18000, pictures = 900;
};

void build(const Mix &mix = {}) {
    std::vector<Group *> groups;
    std::vector<Picture *> pictures;
    std::vector<Complex *> complexes;
    std::vector<Formula *> formulas;
    std::vector<DimensionClass *> dimensions;
    std::vector<Quantity *> quantities;
    std::vector<Measure *> measures;
    std::vector<Tie *> ties;
    for (int i = 0; i < mix.pictures; ++i) {
        auto *p = make<Picture>(okPicture);
        std::memset(p->Bits + (i % 200) * 30, 0xFF, 300);
        AddToBase(okPicture, p);
        pictures.push_back(p);
    }
    for (int i = 0; i < mix.groups; ++i) {
        auto *g = make<Group>(okGroup);
        name<Group>(g->Name, "Группа", i);
        g->Parent = i ? groups[(i - 1) / 4] : nullptr;
        AddToBase(okGroup, g);
        groups.push_back(g);
    }
    for (int i = 0; i < mix.complexes; ++i) {
        auto *c = make<Complex>(okComplex);
        name<Complex>(c->Name, "Система уравнений движения", i);
        c->Group = groups[i % groups.size()];
        c->Picture = pictures[i % pictures.size()];
        AddToBase(okComplex, c);
        complexes.push_back(c);
    }
    for (int i = 0; i < mix.formulas; ++i) {
        auto *f = make<Formula>(okFormula);
        name<Formula>(f->Description, "Скорость тела", i);
        std::snprintf(f->Content, sizeof f->Content, "v%d=s/t+a*sqr(t)/2", i);
        if (i % 3)
            f->Group = groups[i % groups.size()];
        else
            f->Complex = complexes[i % complexes.size()];
        AddToBase(okFormula, f);
        formulas.push_back(f);
    }
    for (int i = 0; i < mix.dimensions; ++i) {
        auto *d = make<DimensionClass>(okDimensionClass);
        d->Exponent[0] = static_cast<int8_t>(i % 10 - 5);
        d->Exponent[2] = static_cast<int8_t>(i / 10 - 5);
        AddToBase(okDimensionClass, d);
        dimensions.push_back(d);
    }
    for (int i = 0; i < mix.quantities; ++i) {
        auto *q = make<Quantity>(okQuantity);
        name<Quantity>(q->Name, "Величина", i);
        q->DimensionClass = dimensions[i % dimensions.size()];
        AddToBase(okQuantity, q);
        quantities.push_back(q);
    }
    for (int i = 0; i < mix.measures; ++i) {
        auto *m = make<Measure>(okMeasure);
        name<Measure>(m->Mark, "м", i);
        name<Measure>(m->Name, "метр", i);
        m->Coefficient = 1 + i / 1000.0L;
        m->DimensionClass = dimensions[i % dimensions.size()];
        AddToBase(okMeasure, m);
        measures.push_back(m);
    }
    for (int i = 0; i < mix.ties; ++i) {
        auto *t = make<Tie>(okTie);
        t->Quantity = quantities[i % quantities.size()];
        t->Measure = measures[(i * 7) % measures.size()];
        if (AddToBase(okTie, t))
            ties.push_back(t);
        else
            DisposeObject(reinterpret_cast<void **>(&t));
    }
    for (int i = 0; i < mix.constants; ++i) {
        auto *c = make<Constant>(okConstant);
        name<Constant>(c->Mark, "k", i);
        name<Constant>(c->Name, "Постоянная", i);
        c->Value = i;
        c->Tie = ties[i % ties.size()];
        AddToBase(okConstant, c);
    }
    for (int i = 0; i < mix.variables; ++i) {
        auto *v = make<Variable>(okVariable);
        name<Variable>(v->Mark, "x", i);
        name<Variable>(v->Description, "переменная", i);
        v->Formula = formulas[i % formulas.size()];
        v->Tie = ties[i % ties.size()];
        AddToBase(okVariable, v);
    }
}

void BM_BuildThroughAddToBase(benchmark::State &state) {
    Scratch scratch;
    for (auto _ : state) {
        state.PauseTiming();
        open_empty(scratch.file("build.tob"));
        state.ResumeTiming();
        build();
        state.PauseTiming();
        BaseDone();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_BuildThroughAddToBase)->Unit(benchmark::kMillisecond);

void BM_WriteWithBaseDone(benchmark::State &state) {
    Scratch scratch;
    for (auto _ : state) {
        state.PauseTiming();
        open_empty(scratch.file("write.tob"));
        build();
        state.ResumeTiming();
        BaseDone();
    }
}
BENCHMARK(BM_WriteWithBaseDone)->Unit(benchmark::kMillisecond);

void BM_ReadWithBaseInit(benchmark::State &state) {
    Scratch scratch;
    std::string file = scratch.file("read.tob");
    open_empty(file);
    build();
    BaseDone();
    for (auto _ : state) {
        BaseInit(file.c_str());
        state.PauseTiming();
        if (BaseLastResult() != 0) state.SkipWithError("the base was not read");
        BaseDone();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ReadWithBaseInit)->Unit(benchmark::kMillisecond);

// Lookups by key in bases of growing size: a constant cost per lookup.
void BM_FindUniqueObjectHit(benchmark::State &state) {
    Scratch scratch;
    open_empty(scratch.file("find.tob"));
    int n = static_cast<int>(state.range(0));
    Mix mix;
    mix.measures = n;
    mix.variables = n;
    build(mix);
    std::vector<std::string> marks;
    for (int i = 0; i < n; ++i) marks.push_back("м " + std::to_string(i));
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FindUniqueObject(okMeasure, marks[i].c_str(), nullptr, nullptr));
        i = (i * 7 + 1) % marks.size();
    }
    BaseDone();
}
BENCHMARK(BM_FindUniqueObjectHit)->Arg(1000)->Arg(10000)->Arg(60000);

// A miss re-reads the kind before it is believed: linear in the kind's size.
void BM_FindUniqueObjectMiss(benchmark::State &state) {
    Scratch scratch;
    open_empty(scratch.file("miss.tob"));
    Mix mix;
    mix.measures = static_cast<int>(state.range(0));
    build(mix);
    for (auto _ : state) benchmark::DoNotOptimize(FindUniqueObject(okMeasure, "нет такой", nullptr, nullptr));
    BaseDone();
}
BENCHMARK(BM_FindUniqueObjectMiss)->Arg(1000)->Arg(10000)->Arg(60000);

// A group holding 10,000 descendants in a base of 60,000 objects.
void BM_RemoveGroupWithDescendants(benchmark::State &state) {
    Scratch scratch;
    for (auto _ : state) {
        state.PauseTiming();
        open_empty(scratch.file("remove.tob"));
        build();
        auto *root = make<Group>(okGroup);
        std::strcpy(root->Name, "Удаляемая");
        AddToBase(okGroup, root);
        int descendants = 0;
        for (int i = 0; descendants < 10000; ++i) {
            auto *g = make<Group>(okGroup);
            std::snprintf(g->Name, sizeof g->Name, "Подгруппа %d", i);
            g->Parent = root;
            AddToBase(okGroup, g);
            auto *f = make<Formula>(okFormula);
            std::snprintf(f->Content, sizeof f->Content, "y=%d*x", i);
            f->Group = g;
            AddToBase(okFormula, f);
            auto *v = make<Variable>(okVariable);
            std::strcpy(v->Mark, "y");
            v->Formula = f;
            AddToBase(okVariable, v);
            descendants += 3;
        }
        void *object = root;
        state.ResumeTiming();
        RemoveFromBase(okGroup, &object);
        state.PauseTiming();
        DisposeObject(&object);
        BaseDone();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_RemoveGroupWithDescendants)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
