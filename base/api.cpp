// The exported C interface: a thin shell over the base's C++ internals.
#include "base.h"
#include "basefile.h"
#include "queries.h"

namespace {

constexpr std::size_t kPathCapacity = 65536;  // the program's text buffer

template <class T>
T *target(T **address) {
    return address ? *address : nullptr;
}

}  // namespace

extern "C" {

BASE_API void *NewObject(ObjectKind Kind) {
    return base::allocate_record(Kind);
}
BASE_API void DisposeObject(void **Object) {
    base::dispose_object(Object);
}

BASE_API void BaseInit(const char *FileName) {
    base::open_base(FileName);
}
BASE_API void BaseDone(void) {
    base::close_base();
}
BASE_API uint16_t BaseLastResult(void) {
    return base::last_result();
}
BASE_API void ChangeBaseName(const char *FileName) {
    base::change_base_name(FileName);
}
BASE_API uint8_t AddToBase(ObjectKind Kind, void *Object) {
    return base::add_to_base(Kind, Object) ? 0xFF : 0;
}

BASE_API void *FindUniqueObject(ObjectKind Kind, const char *Key, void *First, void *Second) {
    return base::find_unique_object(Kind, Key, First, Second);
}
BASE_API void FindObjects(KindSet Kinds, const char *Name, const char *Mark, ObjectList **Objects,
                          ObjectList **KindList) {
    base::find_objects(Kinds, Name, Mark, target(Objects), target(KindList));
}
BASE_API void SelectAll(ObjectKind Kind, ObjectList **Objects) {
    base::select_all(Kind, target(Objects));
}
BASE_API void SelectChildren(ObjectKind ParentKind, void *Parent, ObjectKind ChildKind,
                             ObjectList **Objects) {
    base::select_children(ParentKind, Parent, ChildKind, target(Objects));
}
BASE_API void ObjectPath(ObjectKind Kind, void *Object, char **Path) {
    base::object_path(Kind, Object, target(Path), kPathCapacity);
}
BASE_API int32_t IsObjectUsed(ObjectKind Kind, void *Object) {
    return base::is_object_used(Kind, Object) ? -1 : 0;
}
BASE_API void BaseStatistic(BaseStatistics **Statistics) {
    base::base_statistic(target(Statistics));
}
BASE_API void RemoveFromBase(ObjectKind Kind, void **Object) {
    base::remove_from_base(Kind, target(Object));
}
}
