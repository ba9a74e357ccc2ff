#include "expression.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <string>

#include "deep_stack.h"
#include "numbers.h"
#include "result.h"
#include "tables.h"

namespace solver {

namespace {

// ---------------------------------------------------------------------------
// Text analysis

enum class CharClass {
    Blank,
    Letter,
    ExponentLetter,
    Digit,
    Point,
    Separator,
    Open,
    Close,
    Multiplicative,
    Additive,
    RelationChar,
    Refused,
};

CharClass classify(unsigned char c) {
    switch (c) {
        case ' ':
            return CharClass::Blank;
        case 'E':
        case 'e':
        case 0xC5:
        case 0xE5:
            return CharClass::ExponentLetter;
        case '_':
        case '#':
            return CharClass::Letter;
        case '.':
            return CharClass::Point;
        case ',':
            return CharClass::Separator;
        case '(':
            return CharClass::Open;
        case ')':
            return CharClass::Close;
        case '*':
        case '/':
            return CharClass::Multiplicative;
        case '+':
        case '-':
            return CharClass::Additive;
        case '<':
        case '=':
        case '>':
            return CharClass::RelationChar;
        default:
            break;
    }
    if (c >= '0' && c <= '9') return CharClass::Digit;
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 0xC0) return CharClass::Letter;
    return CharClass::Refused;
}

int function_row(std::string_view name) {
    for (size_t i = 0; i < kFunctions.size(); ++i)
        if (kFunctions[i].name == name) return static_cast<int>(i);
    return -1;
}

int relation_row(std::string_view text) {
    for (size_t i = 0; i < kRelations.size(); ++i)
        if (kRelations[i].text == text) return static_cast<int>(i);
    return -1;
}

// One left-to-right pass over a formula text.  Each handler returns 0 to go
// on or the code of the fault that ends the analysis.
class Analyser {
  public:
    explicit Analyser(Tokens &tokens) : tokens_(tokens) {}

    uint16_t run(std::string_view text) {
        if (text.empty()) return 1;
        for (const char c : text)
            if (const uint16_t code = step(c)) return code;
        return finish();
    }

  private:
    uint16_t step(char c) {
        switch (classify(static_cast<unsigned char>(c))) {
            case CharClass::Blank:
                return 0;
            case CharClass::Letter:
                return letter(c);
            case CharClass::ExponentLetter:
                return exponent_letter(c);
            case CharClass::Digit:
                return digit(c);
            case CharClass::Point:
                return point();
            case CharClass::Separator:
                return separator();
            case CharClass::Open:
                return open();
            case CharClass::Close:
                return close();
            case CharClass::Multiplicative:
                return multiplicative(c);
            case CharClass::Additive:
                return additive(c);
            case CharClass::RelationChar:
                return relation_char(c);
            case CharClass::Refused:
                return 2;
        }
        return 2;
    }

    uint16_t finish() {
        if (depth_ != 0) return 24;
        if (!pending_.empty()) {
            if (pending_is_function()) return 22;
            if (pending_is_relation()) return 23;
            emit_pending();
        }
        return 0;
    }

    uint16_t letter(char c) {
        if (pending_.empty()) return start(c, false);
        if (number_) return 3;
        if (pending_is_relation()) {
            emit_relation();
            return start(c, false);
        }
        pending_ += c;
        return 0;
    }

    uint16_t exponent_letter(char c) {
        if (pending_.empty()) return start(c, false);
        if (number_) {
            if (exponent_) return 4;
            pending_ += c;
            exponent_ = true;
            return 0;
        }
        if (pending_is_relation()) {
            emit_relation();
            return start(c, false);
        }
        pending_ += c;
        return 0;
    }

    uint16_t digit(char c) {
        if (pending_.empty()) return start(c, true);
        if (pending_is_relation()) {
            emit_relation();
            return start(c, true);
        }
        pending_ += c;  // continues a number or an identifier alike
        return 0;
    }

    uint16_t point() {
        if (!pending_.empty() && !number_) return 3;
        if (decimal_ || exponent_) return 4;
        pending_ += '.';
        number_ = decimal_ = true;
        return 0;
    }

    uint16_t separator() {
        if (tokens_.size() < 2) return 13;
        if (pending_.empty()) {
            if (!last_is(RightBracket)) return 14;
        } else {
            if (pending_is_relation()) return 15;
            if (pending_is_function()) return 16;
            emit_pending();
        }
        append(Comma);
        return 0;
    }

    uint16_t open() {
        if (pending_.empty()) {
            if (!tokens_.empty() && !last_is(LeftBracket) && !last_is(OperatorToken) && !last_is(Comma))
                return 17;
        } else if (const int row = function_row(pending_); row >= 0) {
            append(FunctionToken, static_cast<uint8_t>(row), level(4));
            clear_pending();
        } else if (pending_is_relation()) {
            emit_relation();
        } else {
            return 17;
        }
        append(LeftBracket);
        ++depth_;
        return 0;
    }

    uint16_t close() {
        if (pending_.empty()) {
            if (!tokens_.empty() && !last_is(RightBracket)) return 18;
        } else {
            if (pending_is_function()) return 19;
            if (pending_is_relation()) return 20;
            emit_pending();
        }
        append(RightBracket);
        if (--depth_ < 0) return 21;
        return 0;
    }

    uint16_t multiplicative(char c) {
        if (pending_.empty()) {
            if (tokens_.empty()) return 8;
            if (!last_is(RightBracket)) return 9;
        } else {
            if (pending_is_function()) return 10;
            if (pending_is_relation()) return 11;
            emit_pending();
        }
        append(OperatorToken, c == '*' ? kTimes : kDivide, level(2));
        return 0;
    }

    uint16_t additive(char c) {
        if (!pending_.empty() && number_ && is_exponent_char(pending_.back())) {
            pending_ += c;  // the sign of an exponent, as in 1e-3
            return 0;
        }
        bool unary;
        if (pending_.empty()) {
            if (tokens_.empty() || last_is(LeftBracket) || last_is(Comma))
                unary = true;
            else if (last_is(RightBracket))
                unary = false;
            else
                return 12;
        } else if (pending_is_function()) {
            return 10;
        } else if (pending_is_relation()) {
            emit_relation();
            unary = true;
        } else {
            emit_pending();
            unary = false;
        }
        const bool plus = c == '+';
        if (unary)
            append(OperatorToken, plus ? kUnaryPlus : kUnaryMinus, level(3));
        else
            append(OperatorToken, plus ? kPlus : kMinus, level(1));
        return 0;
    }

    uint16_t relation_char(char c) {
        if (pending_.empty()) {
            if (tokens_.empty()) return 5;
            if (!last_is(RightBracket)) return 6;
            return start(c, false);
        }
        if (pending_is_function()) return 7;
        if (!pending_is_relation()) emit_pending();
        pending_ += c;  // so "<" followed by "=" forms "<="
        return 0;
    }

    static bool is_exponent_char(char c) {
        return classify(static_cast<unsigned char>(c)) == CharClass::ExponentLetter;
    }

    uint16_t start(char c, bool number) {
        pending_.assign(1, c);
        number_ = number;
        decimal_ = exponent_ = false;
        return 0;
    }

    void clear_pending() {
        pending_.clear();
        number_ = decimal_ = exponent_ = false;
    }

    bool pending_is_function() const { return function_row(pending_) >= 0; }
    bool pending_is_relation() const { return relation_row(pending_) >= 0; }
    bool last_is(TokenKind kind) const { return !tokens_.empty() && tokens_.back().Kind == kind; }
    uint32_t level(uint32_t offset) const { return 4 * static_cast<uint32_t>(depth_) + offset; }

    void append(TokenKind kind, uint8_t index = kNoIndex, uint32_t level = 0, std::string_view text = {}) {
        Token &t = tokens_.emplace_back();
        t.Kind = kind;
        t.Index = index;
        t.Level = level;
        text = text.substr(0, kNameCapacity);
        std::copy(text.begin(), text.end(), t.Text);
    }

    void emit_pending() {
        append(number_ ? NumberToken : IdentifierToken, kNoIndex, 0, pending_);
        clear_pending();
    }

    void emit_relation() {
        append(RelationToken, static_cast<uint8_t>(relation_row(pending_)));
        clear_pending();
    }

    Tokens &tokens_;
    std::string pending_;  // the number, name or relation being read, uncut
    bool number_ = false, decimal_ = false, exponent_ = false;
    long depth_ = 0;
};

// ---------------------------------------------------------------------------
// Tree building

constexpr uint32_t kNowhere = std::numeric_limits<uint32_t>::max();
constexpr uint64_t kNoSplit = std::numeric_limits<uint64_t>::max();

bool is_two_argument_function(const Token &t) {
    return t.Kind == FunctionToken && t.Index < kFunctions.size() && kFunctions[t.Index].arguments == 2;
}

// Minimum over ranges of a fixed array in O(1) after O(n log n) preparation.
class SparseMin {
  public:
    explicit SparseMin(std::vector<uint64_t> values) {
        rows_.push_back(std::move(values));
        const size_t n = rows_[0].size();
        for (size_t width = 1; 2 * width <= n; width *= 2) {
            const std::vector<uint64_t> &below = rows_.back();
            std::vector<uint64_t> row(n - 2 * width + 1);
            for (size_t i = 0; i < row.size(); ++i) row[i] = std::min(below[i], below[i + width]);
            rows_.push_back(std::move(row));
        }
    }

    // Minimum of [lo, hi); lo < hi.
    uint64_t min(size_t lo, size_t hi) const {
        const size_t k = std::bit_width(hi - lo) - 1;
        return std::min(rows_[k][lo], rows_[k][hi - (size_t{1} << k)]);
    }

  private:
    std::vector<std::vector<uint64_t>> rows_;
};

// The split point of a range is the function or operator of lowest Level.
// Function Levels (4B+4) never equal operator Levels (4B+1..3), so at the
// lowest Level there are only functions, of which the leftmost splits, or
// only operators, of which the rightmost splits.  The key orders exactly so.
uint64_t split_key(const Token &t, size_t position) {
    if (t.Kind == FunctionToken) return uint64_t{t.Level} << 32 | position;
    if (t.Kind == OperatorToken) return uint64_t{t.Level} << 32 | (0xFFFFFFFFu - position);
    return kNoSplit;
}

size_t split_position(uint64_t key, const Tokens &tokens) {
    const auto low = static_cast<uint32_t>(key);
    const size_t position = low;
    if (position < tokens.size() && tokens[position].Kind == FunctionToken) return position;
    return 0xFFFFFFFFu - low;
}

uint16_t stored_level(uint32_t level) {
    return static_cast<uint16_t>(std::min<uint32_t>(level, 0xFFFF));
}

NodeKind node_kind(uint8_t token_kind) {
    switch (token_kind) {
        case NumberToken:
            return NumberNode;
        case IdentifierToken:
            return VariableNode;
        case FunctionToken:
            return FunctionNode;
        case OperatorToken:
            return OperatorNode;
        default:
            return RelationNode;
    }
}

// Splits ranges of one token list.  Every question a split asks of its range
// (where the first relation is, which token splits, where a function's
// bracket closes, where its arguments part) is answered from tables prepared
// once, so that a range costs O(1) and a whole tree O(n log n).
class TreeBuilder {
  public:
    explicit TreeBuilder(const Tokens &tokens) : tokens_(tokens), splits_(split_keys(tokens)) { prepare(); }

    // The tree of [lo, hi); null for no tree or after a fault (then in code_).
    Node *build(size_t lo, size_t hi) {
        if (lo >= hi) return nullptr;
        if (const size_t r = next_relation_[lo]; r < hi) return relation(lo, r, hi);
        const uint64_t key = splits_.min(lo, hi);
        if (key == kNoSplit) {
            const uint32_t leaf = last_leaf_[hi];
            return leaf != kNowhere && leaf >= lo ? node_of(leaf) : nullptr;
        }
        const size_t p = split_position(key, tokens_);
        return tokens_[p].Kind == FunctionToken ? function(p, hi) : operation(p, lo, hi);
    }

    uint16_t code() const { return code_; }

  private:
    static std::vector<uint64_t> split_keys(const Tokens &tokens) {
        std::vector<uint64_t> keys(tokens.size());
        for (size_t i = 0; i < tokens.size(); ++i) keys[i] = split_key(tokens[i], i);
        return keys;
    }

    void prepare() {
        const size_t n = tokens_.size();
        match_.assign(n, kNowhere);
        std::vector<size_t> open;
        for (size_t i = 0; i < n; ++i) {
            if (tokens_[i].Kind == LeftBracket) {
                open.push_back(i);
            } else if (tokens_[i].Kind == RightBracket && !open.empty()) {
                match_[open.back()] = static_cast<uint32_t>(i);
                open.pop_back();
            }
        }
        last_leaf_.assign(n + 1, kNowhere);
        for (size_t i = 0; i < n; ++i) {
            const uint8_t kind = tokens_[i].Kind;
            last_leaf_[i + 1] =
                kind == NumberToken || kind == IdentifierToken ? static_cast<uint32_t>(i) : last_leaf_[i];
        }
        // An event is what the argument scan of a function stops at: a comma
        // or a two-argument function.
        std::vector<bool> after_comma(n, false);
        bool previous_was_comma = false;
        for (size_t i = 0; i < n; ++i) {
            const bool comma = tokens_[i].Kind == Comma;
            if (comma || is_two_argument_function(tokens_[i])) {
                after_comma[i] = previous_was_comma;
                previous_was_comma = comma;
            }
        }
        next_relation_.assign(n + 1, kNowhere);
        next_event_.assign(n + 1, kNowhere);
        next_paired_comma_.assign(n + 1, kNowhere);
        for (size_t i = n; i-- > 0;) {
            const Token &t = tokens_[i];
            const auto here = static_cast<uint32_t>(i);
            next_relation_[i] = t.Kind == RelationToken ? here : next_relation_[i + 1];
            next_event_[i] = t.Kind == Comma || is_two_argument_function(t) ? here : next_event_[i + 1];
            next_paired_comma_[i] = t.Kind == Comma && after_comma[i] ? here : next_paired_comma_[i + 1];
        }
    }

    Node *node_of(size_t position) const {
        const Token &t = tokens_[position];
        return new_node(node_kind(t.Kind), t.Index, t.text(), stored_level(t.Level));
    }

    Node *fail(uint16_t code) {
        code_ = code;
        return nullptr;
    }

    Node *relation(size_t lo, size_t r, size_t hi) {
        Node *left = build(lo, r);
        if (code_) return nullptr;
        Node *right = build(r + 1, hi);
        if (code_) return free_tree(left), nullptr;
        return joined(r, left, right);
    }

    Node *operation(size_t p, size_t lo, size_t hi) {
        Node *left = nullptr;
        if (!kOperators[tokens_[p].Index].unary) {
            left = build(lo, p);
            if (code_) return nullptr;
        }
        Node *right = build(p + 1, hi);
        if (code_) return free_tree(left), nullptr;
        return joined(p, left, right);
    }

    // The arguments lie between the function's "(" and its ")"; a bracket that
    // does not close inside the range is taken to close at the range's end.
    Node *function(size_t p, size_t hi) {
        const size_t q = p + 1 < hi && match_[p + 1] < hi ? match_[p + 1] : hi;
        const size_t event = next_event_[p + 1];
        if (kFunctions[tokens_[p].Index].arguments == 1) {
            if (event < q && tokens_[event].Kind == Comma) return fail(26);
            Node *argument = build(p + 1, q);
            if (code_) return nullptr;
            return joined(p, argument, nullptr);
        }
        // A two-argument function nested in the first argument takes the
        // next comma as its own; each one takes exactly one.
        size_t s = event;
        if (s < q && tokens_[s].Kind != Comma) s = next_paired_comma_[s + 1];
        if (s >= q) return fail(25);
        Node *first = build(p + 1, s);
        if (code_) return nullptr;
        Node *second = build(s + 1, q);
        if (code_) return free_tree(first), nullptr;
        return joined(p, first, second);
    }

    Node *joined(size_t position, Node *left, Node *right) const {
        Node *n = node_of(position);
        n->Left = left;
        n->Right = right;
        return n;
    }

    const Tokens &tokens_;
    SparseMin splits_;
    std::vector<uint32_t> match_;              // of each "(": its ")"
    std::vector<uint32_t> last_leaf_;          // [i]: the last leaf before i
    std::vector<uint32_t> next_relation_;      // [i]: the first relation at or after i
    std::vector<uint32_t> next_event_;         // [i]: the first event at or after i
    std::vector<uint32_t> next_paired_comma_;  // [i]: the first comma at or after i right after a comma event
    uint16_t code_ = 0;
};

// --- relation check

int8_t combined(int8_t a, int8_t b) {
    if (a == 1 && b == 1) return 1;
    if ((a == -1 && b != 0) || (b == -1 && a != 0)) return -1;
    return 0;
}

bool holds(uint8_t relation, long double l, long double r) {
    switch (relation) {
        case kEqual:
            return l == r;
        case kLess:
            return l < r;
        case kGreater:
            return l > r;
        case kLessEqual:
            return l <= r;
        case kGreaterEqual:
            return l >= r;
        case kNotEqual:
            return l != r;
        default:
            return false;
    }
}

bool is_number_or_missing(const Node *n) {
    return !n || n->Kind == NumberNode;
}

long double number_of(const Node *n) {
    return n ? parse_value(n->name()) : 0;
}

int8_t check_relation(const Node *n);

int8_t check_side(const Node *side) {
    return side && side->Kind == RelationNode ? check_relation(side) : int8_t{-1};
}

int8_t check_relation(const Node *n) {
    if (!n->Left && !n->Right) return -1;
    if (is_number_or_missing(n->Left) && is_number_or_missing(n->Right))
        return holds(n->Index, number_of(n->Left), number_of(n->Right)) ? 1 : 0;
    return combined(check_side(n->Left), check_side(n->Right));
}

}  // namespace

uint16_t analyse_text(std::string_view text, Tokens &tokens) {
    tokens.clear();
    const uint16_t code = Analyser(tokens).run(text);
    if (code) tokens.clear();
    return code;
}

Node *build_tree(const Tokens &tokens, uint16_t &code) {
    TreeBuilder builder(tokens);
    Node *root = nullptr;
    run_deep(tokens.size(), [&] { root = builder.build(0, tokens.size()); });
    code = builder.code();
    return root;
}

Node *parse_expression(std::string_view text) {
    clear_result();
    Tokens tokens;
    if (const uint16_t code = analyse_text(text, tokens)) {
        set_result(code);
        return nullptr;
    }
    uint16_t code = 0;
    Node *root = build_tree(tokens, code);
    set_result(code);
    return root;
}

int8_t check_expression(const Node *root) {
    if (!root || root->Kind != RelationNode) return 1;
    int8_t truth = 1;
    run_deep(tree_depth(root), [&] { truth = check_relation(root); });
    return truth;
}

}  // namespace solver
