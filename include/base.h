/* The object base of Tessarin: ten kinds of fixed-layout records, one open
 * base per process, its file, identity rules, queries and cascading removal.
 *
 * Conventions of this interface:
 *  - Texts are NUL-terminated Windows-1251 strings; a record's text field of
 *    N bytes holds at most N - 1 characters and a terminating zero byte.
 *  - Records are allocated and freed only by this library (NewObject,
 *    DisposeObject).  The base owns an object from a successful AddToBase
 *    until RemoveFromBase; BaseDone frees whatever is still in it.
 *  - References between records are plain pointers and never own.
 *  - Query results are appended to an ObjectList that the caller allocates
 *    (room for 65,536 pointers) and passes by the address of its variable;
 *    the library never allocates, grows or frees a result list.
 *  - Truth values: AddToBase returns 0xFF for true and 0 for false;
 *    IsObjectUsed returns -1 (all bits set) for true and 0 for false.
 *
 * Opening and closing (BaseLastResult):
 *  - After BaseInit: 0 the file was read; 1 it could not be opened for reading
 *    and writing, or the name was empty (empty base named "Data.tob"); 2 it is
 *    not a valid base (empty base, name kept).  A file is valid only when it
 *    has the signature and every record is sound: kinds 1..10, lengths 7..7206
 *    matching the body exactly, texts within capacity and without zero bytes,
 *    picture runs expanding to exactly 7,200 bytes, identifiers nonzero and
 *    unique within their kind, at most 65,535 objects of a kind, every
 *    reference naming an object of its target kind, and no ring of group
 *    parents.  Nothing of an invalid file is kept.
 *  - After BaseDone: 0 the file was written; 3 it could not be created or
 *    written ("Невозможно создать файл"), and the previous file is intact;
 *    4 it was not written because a file of that name exists whose contents
 *    this base did not read (opening gave 1 or 2, the name was changed to
 *    another existing file, or the file was replaced meanwhile) - that file is
 *    intact; 5 the file was written, but pictures drawn over in place until
 *    they need more than 3,598 runs were left out and written as no picture.
 *    Writing is atomic: a temporary file beside the target is flushed and
 *    renamed over it.  A ring of group parents made by in-place edits is
 *    written with its first group (in list order) at the top level.
 *
 * Stored objects:
 *  - A kind holds at most 65,535 objects; AddToBase refuses the next one, an
 *    object already in the base, and a picture that needs more than 3,598
 *    (count, value) runs, which no record can hold.
 *  - RemoveFromBase leaves no reference to a removed object in the base: the
 *    constants and variables whose tie was taken out, and the complexes and
 *    formulas whose picture was, get nil.  The dependents the cascade takes
 *    out stay readable until BaseDone frees them; the caller disposes of the
 *    object it passed, and may dispose of a dependent it holds itself.
 *    DisposeObject of an object still in the base does nothing.
 *  - Identity lookups go through an index.  The base does not see in-place
 *    edits, so every hit is checked against the record, a record found
 *    changed re-files its whole kind, a FindUniqueObject that finds nothing
 *    re-reads the kind before it answers, and so does every query that scans
 *    a kind (SelectAll, SelectChildren, FindObjects).  A record edited in
 *    place is therefore found under its new key and never under its old one.
 *    AddToBase alone trusts the index to say a key is free: an edit that
 *    gives a stored record the key of the object being added is seen once any
 *    of the calls above has looked at the kind since the edit.  Likewise, when
 *    an edit makes two stored records equal, FindUniqueObject gives the first
 *    in list order from the next such call on.
 *  - BaseInit while a base is open closes that base first, as BaseDone does.
 *  - ObjectPath writes at most 65,535 characters and the zero byte.
 */
#ifndef TESSARIN_BASE_H
#define TESSARIN_BASE_H

#include <stdint.h>

#if defined(BASE_BUILD)
#define BASE_API __attribute__((visibility("default")))
#else
#define BASE_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ObjectKind codes. */
typedef uint8_t ObjectKind;
enum {
    okNone = 0,
    okGroup = 1,
    okComplex = 2,
    okFormula = 3,
    okDimensionClass = 4,
    okQuantity = 5,
    okMeasure = 6,
    okTie = 7,
    okConstant = 8,
    okVariable = 9,
    okPicture = 10
};

/* Bit k stands for kind k. */
typedef uint16_t KindSet;

#define PICTURE_SIZE 7200 /* 240 rows of 30 bytes, one bit a pixel */

/* Elaborated type names keep a field such as `Complex` from hiding its type. */
typedef struct Group {
    char Name[64];
    struct Group *Parent;
} Group;

typedef struct Picture {
    uint8_t Bits[PICTURE_SIZE];
} Picture;

typedef struct Complex {
    char Name[128];
    struct Picture *Picture;
    struct Group *Group;
} Complex;

typedef struct Formula {
    char Description[128];
    char Content[256];
    struct Picture *Picture;
    struct Group *Group;
    struct Complex *Complex;
} Formula;

/* Nine exponents in the order L, M, T, I, Q, N, J, R, S. */
typedef struct DimensionClass {
    int8_t Exponent[9];
} DimensionClass;

typedef struct Quantity {
    char Name[128];
    struct DimensionClass *DimensionClass;
} Quantity;

typedef struct Measure {
    char Mark[128];
    char Name[256];
    long double Coefficient;
    struct DimensionClass *DimensionClass;
} Measure;

typedef struct Tie {
    struct Quantity *Quantity;
    struct Measure *Measure;
} Tie;

typedef struct Constant {
    char Mark[26];
    char Name[128];
    long double Value;
    struct Tie *Tie;
} Constant;

typedef struct Variable {
    char Mark[26];
    char Description[256];
    struct Complex *Complex;
    struct Formula *Formula;
    struct Tie *Tie;
} Variable;

#define OBJECT_LIST_CAPACITY 65536 /* slots; a list holds at most 65,535 objects */

typedef struct ObjectList {
    uint16_t Count;
    void *Items[OBJECT_LIST_CAPACITY];
} ObjectList;

/* Ten counts in kind order: groups ... pictures. */
typedef struct BaseStatistics {
    uint16_t Count[10];
} BaseStatistics;

/* Records. */
BASE_API void *NewObject(ObjectKind Kind);
BASE_API void DisposeObject(void **Object);

/* Lifecycle. */
BASE_API void BaseInit(const char *FileName);
BASE_API void BaseDone(void);
BASE_API uint16_t BaseLastResult(void);
BASE_API void ChangeBaseName(const char *FileName);
BASE_API uint8_t AddToBase(ObjectKind Kind, void *Object);

/* Queries and removal. */
BASE_API void *FindUniqueObject(ObjectKind Kind, const char *Key, void *First, void *Second);
BASE_API void FindObjects(KindSet Kinds, const char *Name, const char *Mark, ObjectList **Objects,
                          ObjectList **KindList);
BASE_API void SelectAll(ObjectKind Kind, ObjectList **Objects);
BASE_API void SelectChildren(ObjectKind ParentKind, void *Parent, ObjectKind ChildKind,
                             ObjectList **Objects);
BASE_API void ObjectPath(ObjectKind Kind, void *Object, char **Path);
BASE_API int32_t IsObjectUsed(ObjectKind Kind, void *Object);
BASE_API void BaseStatistic(BaseStatistics **Statistics);
BASE_API void RemoveFromBase(ObjectKind Kind, void **Object);

#ifdef __cplusplus
}
#endif

#endif
