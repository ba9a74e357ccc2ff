// Raw bytes as a composite mark and as the information text that corrects
// it (split at the first NUL byte); every output must stay within the buffer.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "solver.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string input(reinterpret_cast<const char *>(data), size);
    const size_t split = input.find('\0');
    const std::string mark = input.substr(0, split);
    const std::string information = split == std::string::npos ? mark : input.substr(split + 1).c_str();

    std::vector<char> buffer(SOLVER_TEXT_BUFFER);
    char *out = buffer.data();
    Composition c = CreateComposition(mark.c_str());
    CompositionUnitList(c, &out);
    CorrectComposition(c, information.c_str());
    const std::string first = std::string(buffer.data()).substr(0, std::string(buffer.data()).find(';'));
    SetCompositionPrefix(c, first.c_str(), static_cast<uint8_t>(size % 20));
    FormCompositionMark(c, &out);
    FormCompositionName(c, &out);
    CompositionUnitList(c, &out);
    (void)FormCompositionMultiplier(c);
    (void)GetCompositionPrefix(c, first.c_str());
    Dimension d{};
    Dimension *p = &d;
    DimensingComposition(c, &p);
    DestroyComposition(c);
    return 0;
}
