// Queries over the open base and removal with its cascade.
#pragma once

#include "basefile.h"

namespace base {

void *find_unique_object(ObjectKind kind, const char *key, void *first, void *second);
void find_objects(KindSet kinds, const char *name, const char *mark, ObjectList *objects,
                  ObjectList *kind_list);
void select_all(ObjectKind kind, ObjectList *objects);
void select_children(ObjectKind parent_kind, void *parent, ObjectKind child_kind, ObjectList *objects);
// Writes at most `capacity` bytes, the terminating zero included.
void object_path(ObjectKind kind, const void *object, char *path, std::size_t capacity);
bool is_object_used(ObjectKind kind, const void *object);
void base_statistic(BaseStatistics *statistics);
void remove_from_base(ObjectKind kind, void *object);

}  // namespace base
