"""Reading and checking formula texts the way the Solver reads them.

`parse` turns a formula into a tree with the Solver's precedence and its
syntax rules (no power operator, a sign only at the start, after "(", ","
or a relation). `true_dimension` is the physicist's check: numbers are
dimensionless, sums need equal terms, trigonometric arguments are plain or
angles. `solver_analysis` repeats the Solver's own dimension analysis, in
which a zero vector means "not known yet", so that a formula which is right
but written in a shape the analysis cannot follow is caught here, before the
base check sees it.
"""

FUNCTIONS = {
    "sin": 1, "arcsin": 1, "cos": 1, "arccos": 1, "tg": 1, "arctg": 1, "ctg": 1, "arcctg": 1,
    "sec": 1, "arcsec": 1, "cosec": 1, "arccosec": 1, "sh": 1, "arcsh": 1, "ch": 1, "arcch": 1,
    "th": 1, "arcth": 1, "cth": 1, "arccth": 1, "sech": 1, "arcsech": 1, "csch": 1, "arccsch": 1,
    "sqr": 1, "sqrt": 1, "exp": 1, "ln": 1, "pow2": 1, "log2": 1, "pow10": 1, "lg": 1,
    "pow": 2, "root": 2, "log": 2,
}
TRIGONOMETRIC = {"sin", "cos", "tg", "ctg", "sec", "cosec", "sh", "ch", "th", "cth", "sech", "csch"}
RELATIONS = ("<=", ">=", "<>", "=", "<", ">")
ZERO = (0,) * 9


class FormulaError(Exception):
    pass


def is_letter(ch):
    if ch in "_#" or ("A" <= ch <= "Z") or ("a" <= ch <= "z"):
        return True
    return ("А" <= ch <= "я") and ch not in "Ёё"


def tokenize(text):
    tokens, i = [], 0
    while i < len(text):
        ch = text[i]
        if ch == " ":
            raise FormulaError("blank inside a formula joins names; write formulas without blanks")
        if ch.isdigit() or ch == ".":
            j = i
            while j < len(text) and (text[j].isdigit() or text[j] == "."):
                j += 1
            if j < len(text) and text[j] in "eE":
                j += 1
                if j < len(text) and text[j] in "+-":
                    j += 1
                while j < len(text) and text[j].isdigit():
                    j += 1
            if j < len(text) and is_letter(text[j]):
                raise FormulaError(f"letter after the number {text[i:j]}")
            tokens.append(("num", text[i:j]))
            i = j
        elif is_letter(ch):
            j = i
            while j < len(text) and (is_letter(text[j]) or text[j].isdigit()):
                j += 1
            name = text[i:j]
            if j < len(text) and text[j] == "(" and name in FUNCTIONS:
                tokens.append(("func", name))
            else:
                if name in FUNCTIONS:
                    raise FormulaError(f"function {name} without its argument")
                if len(name) > 24:
                    raise FormulaError(f"name {name} is longer than 24 characters")
                tokens.append(("var", name))
            i = j
        elif ch in "<>=":
            two = text[i:i + 2]
            rel = two if two in RELATIONS else ch
            tokens.append(("rel", rel))
            i += len(rel)
        elif ch in "+-*/(),":
            if ch in "+-" and tokens and tokens[-1][0] == "op":
                raise FormulaError("a sign after an operator; put the operand in brackets")
            tokens.append(("op" if ch in "+-*/" else ch, ch))
            i += 1
        else:
            raise FormulaError(f"character {ch!r} is not allowed in a formula")
    return tokens


class Node:
    def __init__(self, kind, name, left=None, right=None):
        self.kind, self.name, self.left, self.right = kind, name, left, right
        self.dim = ZERO


class Parser:
    def __init__(self, tokens):
        self.tokens, self.pos = tokens, 0

    def peek(self):
        return self.tokens[self.pos] if self.pos < len(self.tokens) else (None, None)

    def take(self, kind=None, value=None):
        token = self.peek()
        if token[0] is None or (kind and token[0] != kind) or (value and token[1] != value):
            raise FormulaError(f"unexpected {token[1]!r} at token {self.pos}")
        self.pos += 1
        return token

    def relation(self):
        left = self.sum()
        if self.peek()[0] == "rel":
            rel = self.take()[1]
            return Node("rel", rel, left, self.relation())
        return left

    def sum(self):
        node = self.term()
        while self.peek() in (("op", "+"), ("op", "-")):
            node = Node("bin", self.take()[1], node, self.term())
        return node

    def term(self):
        node = self.unary()
        while self.peek() in (("op", "*"), ("op", "/")):
            node = Node("bin", self.take()[1], node, self.unary())
        return node

    def unary(self):
        if self.peek() in (("op", "+"), ("op", "-")):
            return Node("un", self.take()[1], None, self.unary())
        return self.primary()

    def primary(self):
        kind, value = self.take()
        if kind == "num":
            return Node("num", value)
        if kind == "var":
            return Node("var", value)
        if kind == "func":
            self.take("(")
            first = self.relation()
            second = None
            if FUNCTIONS[value] == 2:
                self.take(",")
                second = self.relation()
            self.take(")")
            return Node("func", value, first, second)
        if kind == "(":
            node = self.relation()
            self.take(")")
            return node
        raise FormulaError(f"unexpected {value!r}")


def parse(text):
    parser = Parser(tokenize(text))
    tree = parser.relation()
    if parser.pos != len(parser.tokens):
        raise FormulaError(f"text left over after token {parser.pos}")
    if tree.kind != "rel":
        raise FormulaError("a formula must be a relation")
    return tree


def variables(tree, found=None):
    found = [] if found is None else found
    if tree is not None:
        if tree.kind == "var" and tree.name not in found:
            found.append(tree.name)
        variables(tree.left, found)
        variables(tree.right, found)
    return found


def add(a, b, k=1):
    return tuple(x + k * y for x, y in zip(a, b))


def is_angle(d):
    return d == (0, 0, 0, 0, 0, 0, 0, 1, 0)


def true_dimension(node, dims):
    kind = node.kind
    if kind == "num":
        return ZERO
    if kind == "var":
        return dims[node.name]
    if kind == "un":
        return true_dimension(node.right, dims)
    if kind in ("bin", "rel"):
        a, b = true_dimension(node.left, dims), true_dimension(node.right, dims)
        if node.name in "*":
            return add(a, b)
        if node.name == "/":
            return add(a, b, -1)
        if a != b:
            raise FormulaError(f"{node.name} joins {a} and {b}")
        return a
    a = true_dimension(node.left, dims)
    f = node.name
    if f == "sqr":
        return add(ZERO, a, 2)
    if f == "sqrt":
        if any(x % 2 for x in a):
            raise FormulaError("odd exponent under sqrt")
        return tuple(x // 2 for x in a)
    if f == "pow":
        if node.right.kind != "num":
            raise FormulaError("pow needs a number exponent")
        return add(ZERO, a, int(node.right.name))
    if f in ("root", "log"):
        raise FormulaError(f"{f} is not used in the handbook")
    if a != ZERO and not (f in TRIGONOMETRIC and is_angle(a)):
        raise FormulaError(f"{f} of a quantity with dimension {a}")
    return ZERO


def known(d):
    return d != ZERO


class Analysis:
    """The Solver's dimension analysis, rule by rule."""

    def __init__(self):
        self.code = 0

    def fail(self, code):
        self.code = code

    def run(self, node):
        if node is None:
            return
        self.run(node.left)
        if self.code:
            return
        self.run(node.right)
        if self.code:
            return
        self.rule(node)
        if self.code:
            return
        self.run(node.left)
        if self.code:
            return
        self.run(node.right)

    def rule(self, n):
        if n.kind in ("num", "var"):
            return
        if n.kind == "rel":
            left, right = n.left, n.right
            if known(left.dim) and not known(right.dim):
                right.dim = left.dim
            elif known(right.dim) and not known(left.dim):
                left.dim = right.dim
            elif known(left.dim) and left.dim != right.dim:
                return self.fail(37)
            n.dim = left.dim
        elif n.kind == "un":
            x = n.right
            if not known(x.dim) and known(n.dim):
                x.dim = n.dim
            elif known(x.dim) and not known(n.dim):
                n.dim = x.dim
            elif known(x.dim) and x.dim != n.dim:
                return self.fail(37)
        elif n.kind == "bin" and n.name in "+-":
            self.sum_rule(n)
        elif n.kind == "bin":
            self.product_rule(n)
        else:
            self.function_rule(n)

    def sum_rule(self, n):
        left, right = n.left, n.right
        if not known(n.dim):
            if known(left.dim) and not known(right.dim):
                right.dim = n.dim = left.dim
            elif known(right.dim) and not known(left.dim):
                left.dim = n.dim = right.dim
            elif known(left.dim):
                if left.dim != right.dim:
                    return self.fail(37)
                n.dim = left.dim
            return
        if not known(left.dim) and not known(right.dim):
            left.dim = right.dim = n.dim
        elif known(left.dim) and not known(right.dim):
            if left.dim != n.dim:
                return self.fail(37)
            right.dim = left.dim
        elif known(right.dim) and not known(left.dim):
            if right.dim != n.dim:
                return self.fail(37)
            left.dim = right.dim
        elif left.dim != n.dim or right.dim != n.dim:
            return self.fail(37)

    def product_rule(self, n):
        left, right = n.left, n.right
        sign = 1 if n.name == "*" else -1
        whole = add(left.dim, right.dim, sign)
        if not known(n.dim):
            if known(left.dim) and known(right.dim):
                n.dim = whole
            return
        if not known(left.dim) and not known(right.dim):
            return self.fail(41)
        if known(left.dim) and not known(right.dim):
            right.dim = add(n.dim, left.dim, -1) if sign == 1 else add(left.dim, n.dim, -1)
        elif known(right.dim) and not known(left.dim):
            left.dim = add(n.dim, right.dim, -sign)
        elif n.dim != whole:
            return self.fail(37)

    def function_rule(self, n):
        f, a, b = n.name, n.left, n.right
        if f == "sqr" or f == "sqrt" or f == "pow":
            k = {"sqr": 2, "sqrt": None, "pow": None}[f]
            if f == "pow":
                if known(b.dim):
                    return self.fail(36)
                if b.kind != "num":
                    return self.fail(39)
                value = float(b.name)
                if value != int(value):
                    return self.fail(40)
                k = int(value)
            if f == "sqrt":
                if known(a.dim):
                    if any(x % 2 for x in a.dim):
                        return self.fail(38)
                    n.dim = tuple(int(x / 2) for x in a.dim)
                elif not known(n.dim):
                    return self.fail(37)
                else:
                    a.dim = add(ZERO, n.dim, 2)
                return
            if known(a.dim):
                n.dim = add(ZERO, a.dim, k)
            elif not known(n.dim):
                return self.fail(37)
            elif any(x % k for x in n.dim):
                return self.fail(38)
            else:
                a.dim = tuple(int(x / k) for x in n.dim)
            return
        if f in ("root", "log"):
            return self.fail(99)
        if not known(a.dim) or a.dim[7] == 1:
            n.dim = ZERO
        elif not known(n.dim):
            a.dim = ZERO
        else:
            return self.fail(36)


def solver_analysis(text, dims):
    """Runs the Solver's analysis with every variable's dimension set; 0 is success."""
    tree = parse(text)

    def seed(node):
        if node is not None:
            if node.kind == "var":
                node.dim = tuple(dims[node.name])
            seed(node.left)
            seed(node.right)

    seed(tree)
    analysis = Analysis()
    analysis.run(tree)
    return analysis.code
