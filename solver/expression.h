// Formula texts into tokens, and token lists into expression trees.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "node.h"

namespace solver {

enum TokenKind : uint8_t {
    LeftBracket = 0,
    RightBracket = 1,
    Comma = 2,
    NumberToken = 3,
    IdentifierToken = 4,
    FunctionToken = 5,
    OperatorToken = 6,
    RelationToken = 7,
};

struct Token {
    uint8_t Kind = LeftBracket;
    uint8_t Index = kNoIndex;  // row of the function, operator or relation table
    // Precedence of functions and operators, 4*depth + 1..4.  Wider than a
    // node's Level: a 64 KiB text nests deeper than 16 bits can count.
    uint32_t Level = 0;
    char Text[kNameCapacity + 1] = {};  // number or identifier, cut to 24 characters

    std::string_view text() const { return Text; }
};

using Tokens = std::vector<Token>;

// Analyses a formula text into `tokens` (replaced); returns 0 or the code
// (1..24) of the first fault, in which case `tokens` is left empty.
uint16_t analyse_text(std::string_view text, Tokens &tokens);

// Builds the tree of a whole token list.  Returns the root (null for a list
// without leaves or operations) and sets `code` to 0, or to 25/26 when a
// function's arguments are wrong; the tree returned then is incomplete and
// serves only to be freed.  Tokens outside a split are left unused.
Node *build_tree(const Tokens &tokens, uint16_t &code);

// CreateExpression's work: clears the result register, analyses and builds,
// and leaves the code of the first fault in the register.  Null after a fault
// of the analysis and for a text of blanks only; possibly an incomplete tree
// after codes 25/26.  The caller owns the result (free_tree).
Node *parse_expression(std::string_view text);

// 1 true, 0 false, -1 undetermined: the truth of the relations of a tree;
// 1 for null or a tree whose root is not a relation.
int8_t check_expression(const Node *root);

}  // namespace solver
