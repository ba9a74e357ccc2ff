#include "result.h"

#include <algorithm>
#include <cstring>

namespace solver {

namespace {
uint16_t g_result = 0;
}

uint16_t result() { return g_result; }
void set_result(uint16_t code) { g_result = code; }

void write_text(char **out, std::string_view text) {
    if (!out || !*out) return;
    const size_t n = std::min<size_t>(text.size(), SOLVER_TEXT_BUFFER - 1);
    if (n) std::memcpy(*out, text.data(), n);
    (*out)[n] = '\0';
}

}  // namespace solver
