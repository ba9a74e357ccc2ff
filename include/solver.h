/* The calculating engine of Tessarin: formulas, systems of formulas,
 * dimensions and composite units.
 *
 * Conventions of this interface:
 *  - Every text, in and out, is a NUL-terminated string of Windows-1251 bytes.
 *  - Input texts are copied; the library never keeps or frees caller memory.
 *  - Output texts are written through the address of the caller's character
 *    pointer into the memory it points to, followed by a NUL; the pointer
 *    itself is never changed.  Every output is bounded by SOLVER_TEXT_BUFFER
 *    bytes (the program's one 64 KiB text buffer): a longer result is cut to
 *    SOLVER_TEXT_BUFFER - 1 characters, never written past the buffer.
 *  - Lists of names travel as one text joined by ";" with no trailing ";".
 *  - Failures are reported only through the process-wide result register,
 *    read with SolverLastResult() right after the call; the library never
 *    throws and never shows anything.
 *  - Handles (Expression, Collection, Composition) are created only by the
 *    library and destroyed by the caller through DestroyExpression,
 *    DestroyCollection and DestroyComposition.  An expression added to a
 *    collection belongs to the collection.
 *  - Extended reals are the 80-bit x87 format, `long double` on x86-64.
 */
#ifndef TESSARIN_SOLVER_H
#define TESSARIN_SOLVER_H

#include <stdint.h>

#if defined(SOLVER_BUILD)
#define SOLVER_API __attribute__((visibility("default")))
#else
#define SOLVER_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Size of the caller's text buffer that bounds every output text. */
#define SOLVER_TEXT_BUFFER 65536

/* Nine signed exponents in the order L, M, T, I, Q, N, J, R, S. */
typedef struct Dimension {
    int8_t Exponent[9];
} Dimension;

typedef struct SolverNode *Expression;         /* root of an expression tree */
typedef struct SolverCollection *Collection;   /* ordered list of expressions */
typedef struct SolverComposition *Composition; /* parsed composite unit */

/* Library frame and numbers. */
SOLVER_API void SolverInit(void);
SOLVER_API void SolverDone(void);
SOLVER_API uint16_t SolverLastResult(void);
SOLVER_API void ValToStr(long double X, char **Text);
SOLVER_API void StrToVal(const char *Text, long double *Value);
SOLVER_API int64_t ExtInteger(long double X);
SOLVER_API int32_t IsInteger(long double X);
SOLVER_API void StrLower(const char *Text, char **Lowered);
SOLVER_API void FunctionName(uint8_t Index, char **Name);

/* Expressions. */
SOLVER_API Expression CreateExpression(const char *Text);
SOLVER_API void DestroyExpression(Expression E);
SOLVER_API int8_t CheckExpression(Expression E);
SOLVER_API void SetExpressionVariable(Expression E, const char *Name, const char *Value);
SOLVER_API Expression CalcExpression(Expression E);
SOLVER_API Expression TransposeExpression(Expression E, const char *Name);
SOLVER_API void GetStrExpression(Expression E, char **Text);
SOLVER_API void ExpressionVariables(Expression E, char **Names);
SOLVER_API void ExpressionVarsAndResult(Expression E, char **Vars, char **Results);
SOLVER_API void ExpressionVarValue(Expression E, const char *Name, char **Value);

/* Collections. */
SOLVER_API Collection CreateCollection(void);
SOLVER_API void DestroyCollection(Collection C);
SOLVER_API void AddToCollection(Collection C, Expression E);
SOLVER_API void DeleteFromCollection(Collection C, Expression E);
SOLVER_API int32_t CollectionAmount(Collection C);
SOLVER_API Expression GetExpressionByIndex(Collection C, int32_t Index);
SOLVER_API void CollectionVariables(Collection C, char **Names);
SOLVER_API void SetCollectionVariable(Collection C, const char *Name, const char *Value);
SOLVER_API Collection CalcCollection(Collection C);
SOLVER_API Collection TransposeCollection(Collection C, const char *Given, const char *Wanted,
                                          char **Derivation);
SOLVER_API void CollectionVarsAndResult(Collection C, char **Vars, char **Results);
SOLVER_API void CollectionVarValue(Collection C, const char *Name, char **Value);

/* Dimensions. */
SOLVER_API void SetExpressionVariableDimension(Expression E, const char *Name, const Dimension *D);
SOLVER_API void GetExpressionVariableDimension(Expression E, const char *Name, Dimension **D);
SOLVER_API void SetCollectionVariableDimension(Collection C, const char *Name, const Dimension *D);
SOLVER_API void GetCollectionVariableDimension(Collection C, const char *Name, Dimension **D);
SOLVER_API void DimensingExpression(Expression E);
SOLVER_API void DimensingCollection(Collection C);
SOLVER_API int32_t IsEqualDimensions(const Dimension *A, const Dimension *B);
SOLVER_API int32_t IsWithoutDimension(const Dimension *D);
SOLVER_API void WithoutDimension(Dimension **D);

/* Composite units. */
SOLVER_API void PrefixList(char **Names);
SOLVER_API Composition CreateComposition(const char *Mark);
SOLVER_API void DestroyComposition(Composition C);
SOLVER_API void CorrectComposition(Composition C, const char *Information);
SOLVER_API void FormCompositionMark(Composition C, char **Mark);
SOLVER_API void FormCompositionName(Composition C, char **Name);
SOLVER_API long double FormCompositionMultiplier(Composition C);
SOLVER_API void DimensingComposition(Composition C, Dimension **D);
SOLVER_API uint8_t GetCompositionPrefix(Composition C, const char *Mark);
SOLVER_API void SetCompositionPrefix(Composition C, const char *Mark, uint8_t Prefix);
SOLVER_API void CompositionUnitList(Composition C, char **Marks);

#ifdef __cplusplus
}
#endif

#endif
