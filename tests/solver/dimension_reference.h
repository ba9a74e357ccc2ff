// The dimension analysis exactly as its rules read: every node analyses its
// subtrees, applies its rule, then analyses both subtrees again.  Written
// apart from the engine (its own rules and arithmetic) so that the engine's
// fast analysis can be compared with it; exponential, so for small trees only.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

#include "solver.h"
#include "solver/node.h"

namespace tessarin_test {

class ReferenceAnalysis {
  public:
    uint16_t run(SolverNode *root) {
        code_ = 0;
        analyse(root);
        return code_;
    }

  private:
    using D = Dimension;
    uint16_t code_ = 0;

    static bool known(const D &d) {
        for (int8_t e : d.Exponent)
            if (e) return true;
        return false;
    }
    static bool same(const D &a, const D &b) { return std::memcmp(a.Exponent, b.Exponent, 9) == 0; }
    static int8_t w(long long v) {
        return static_cast<int8_t>(static_cast<uint8_t>(((v % 256) + 256) % 256));
    }
    static D add(const D &a, const D &b, int sign) {
        D r;
        for (int i = 0; i < 9; ++i) r.Exponent[i] = w(a.Exponent[i] + sign * b.Exponent[i]);
        return r;
    }
    static D times(const D &a, long long k) {
        D r;
        for (int i = 0; i < 9; ++i) r.Exponent[i] = w(a.Exponent[i] * (k % 256));
        return r;
    }
    static D over(const D &a, long long k) {
        D r;
        for (int i = 0; i < 9; ++i) r.Exponent[i] = w(a.Exponent[i] / k);
        return r;
    }
    static bool divides(const D &a, long long k) {
        for (int8_t e : a.Exponent)
            if (e % k) return false;
        return true;
    }

    void analyse(SolverNode *n) {
        if (!n) return;
        analyse(n->Left);
        if (code_) return;
        analyse(n->Right);
        if (code_) return;
        rule(n);
        analyse(n->Left);
        if (code_) return;
        analyse(n->Right);
    }

    // Missing children read as zero and take no writes.
    static D get(const SolverNode *c) { return c ? c->Dim : D{}; }
    static void put(SolverNode *c, const D &d) {
        if (c) c->Dim = d;
    }

    void rule(SolverNode *n) {
        D &N = n->Dim;
        const D L = get(n->Left), R = get(n->Right);
        if (n->Kind == 4) {  // relation
            if (known(L) && !known(R))
                put(n->Right, L);
            else if (known(R) && !known(L))
                put(n->Left, R);
            else if (known(L) && known(R) && !same(L, R)) {
                code_ = 37;
                return;
            }
            N = get(n->Left);
        } else if (n->Kind == 3 && n->Index <= 1) {  // unary sign over Right
            if (!known(R) && known(N))
                put(n->Right, N);
            else if (known(R) && !known(N))
                N = R;
            else if (known(R) && known(N) && !same(R, N))
                code_ = 37;
        } else if (n->Kind == 3 && n->Index <= 3) {  // + -
            if (!known(N)) {
                if (known(L) && !known(R)) {
                    put(n->Right, L);
                    N = L;
                } else if (known(R) && !known(L)) {
                    put(n->Left, R);
                    N = R;
                } else if (known(L) && known(R)) {
                    if (same(L, R))
                        N = L;
                    else
                        code_ = 37;
                }
            } else if (!known(L) && !known(R)) {
                put(n->Left, N);
                put(n->Right, N);
            } else if (known(L) && !known(R)) {
                if (same(L, N))
                    put(n->Right, L);
                else
                    code_ = 37;
            } else if (known(R) && !known(L)) {
                if (same(R, N))
                    put(n->Left, R);
                else
                    code_ = 37;
            } else if (!same(L, N) || !same(R, N))
                code_ = 37;
        } else if (n->Kind == 3) {  // * and /
            const int s = n->Index == 4 ? 1 : -1;
            if (!known(N)) {
                if (known(L) && known(R)) N = add(L, R, s);
            } else if (!known(L) && !known(R))
                code_ = 41;
            else if (known(L) && !known(R))
                put(n->Right, s == 1 ? add(N, L, -1) : add(L, N, -1));
            else if (known(R) && !known(L))
                put(n->Left, add(N, R, -s));
            else if (!same(N, add(L, R, s)))
                code_ = 37;
        } else if (n->Kind == 2) {
            function(n, N, L, R);
        }
    }

    // 0 after a fault; a zero degree or exponent has its own code.
    long long integer(const SolverNode *c) {
        if (!c || c->Kind != 0) {
            code_ = 39;
            return 0;
        }
        long double v = 0;
        StrToVal(c->Name, &v);
        if (!(std::fabs(v) < 9e18L) || !IsInteger(v)) {
            code_ = 40;
            return 0;
        }
        const long long k = ExtInteger(v);
        if (k == 0) code_ = 42;
        return k;
    }

    void function(SolverNode *n, D &N, const D &A, const D &B) {
        switch (n->Index) {
            case 24:  // sqr
                if (known(A))
                    N = times(A, 2);
                else if (!known(N))
                    code_ = 37;
                else if (divides(N, 2))
                    put(n->Left, over(N, 2));
                else
                    code_ = 38;
                return;
            case 25:  // sqrt
                if (known(A)) {
                    if (divides(A, 2))
                        N = over(A, 2);
                    else
                        code_ = 38;
                } else if (!known(N))
                    code_ = 37;
                else
                    put(n->Left, times(N, 2));
                return;
            case 32: {  // pow(a, k)
                if (known(B)) {
                    code_ = 36;
                    return;
                }
                const long long k = integer(n->Right);
                if (code_) return;
                if (known(A))
                    N = times(A, k);
                else if (!known(N))
                    code_ = 37;
                else if (divides(N, k))
                    put(n->Left, over(N, k));
                else
                    code_ = 38;
                return;
            }
            case 33: {  // root(k, x)
                if (known(A)) {
                    code_ = 36;
                    return;
                }
                const long long k = integer(n->Left);
                if (code_) return;
                if (known(B)) {
                    if (divides(B, k))
                        N = over(B, k);
                    else
                        code_ = 38;
                } else if (!known(N))
                    code_ = 37;
                else
                    put(n->Right, times(N, k));
                return;
            }
            case 34:  // log
                N = D{};
                if (known(A) || known(B)) code_ = 36;
                return;
            default:
                if (!known(A) || A.Exponent[7] == 1)
                    N = D{};
                else if (!known(N))
                    put(n->Left, D{});
                else
                    code_ = 36;
        }
    }
};

}  // namespace tessarin_test
