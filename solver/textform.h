// The text form of a tree and the questions asked about its variables.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "node.h"

namespace solver {

// The formula text of a tree, without blanks, brackets only where the
// operators need them; empty for null.  Writing stops once the text has
// reached `limit` characters (it may end a little beyond it).
std::string text_form(const Node *root, size_t limit = std::string::npos);

// The maximal subtrees that are not relation nodes, left to right
// (a=b+c gives a and b+c; a<b<c gives a, b, c; a tree without relations
// is its own single side).  Empty for null.
std::vector<const Node *> expression_sides(const Node *root);

// Names of the variables, each once, in order of first appearance
// (Left before Right).
std::vector<std::string> variable_names(const Node *root);

// Variables that form a whole side (results, in the order of the sides) and
// all the others (vars, in order of first appearance).
struct VarsAndResults {
    std::vector<std::string> vars;
    std::vector<std::string> results;
};
VarsAndResults vars_and_results(const Node *root);

// What `name` equals in the tree: the text form of the last side that is not
// the variable itself; empty when no variable of that name occurs.  `limit`
// bounds the text as in text_form.
std::string variable_value(const Node *root, std::string_view name, size_t limit = std::string::npos);

// Items joined by ";" without a final separator; empty for no items.
std::string join_list(const std::vector<std::string> &items);

// A ";"-joined text split at every ";" (empty items count; the empty text
// is the empty list).
std::vector<std::string> split_list(std::string_view text);

}  // namespace solver
