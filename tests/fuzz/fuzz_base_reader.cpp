// Feeds arbitrary bytes to the base file reader: whatever the file holds,
// opening it must neither crash nor leak, and a base read from it must walk
// and write back cleanly.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "base.h"

namespace {

struct Scratch {
    std::string dir;
    Scratch() {
        char pattern[] = "/tmp/fuzz-base-XXXXXX";
        dir = mkdtemp(pattern);
    }
    ~Scratch() { rmdir(dir.c_str()); }
};

void walk() {
    static std::vector<ObjectList> lists(2);
    ObjectList *objects = &lists[0];
    for (int kind = okGroup; kind <= okPicture; ++kind) {
        SelectAll(static_cast<ObjectKind>(kind), &objects);
        for (uint16_t i = 0; i < objects->Count; ++i) {
            static char path[65536];
            char *p = path;
            ObjectPath(static_cast<ObjectKind>(kind), objects->Items[i], &p);
            IsObjectUsed(static_cast<ObjectKind>(kind), objects->Items[i]);
        }
    }
    ObjectList *kinds = &lists[1];
    kinds->Count = 0;
    FindObjects(0xFFFF, "а", "", &objects, &kinds);
    if (objects->Count > 0) {
        void *first = objects->Items[0];
        RemoveFromBase(static_cast<ObjectKind>(reinterpret_cast<uintptr_t>(kinds->Items[0])), &first);
        DisposeObject(&first);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static Scratch scratch;
    std::string name = scratch.dir + "/base.tob";
    if (FILE *file = std::fopen(name.c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    BaseInit(name.c_str());
    if (BaseLastResult() == 0) walk();
    BaseDone();
    std::remove(name.c_str());
    return 0;
}
