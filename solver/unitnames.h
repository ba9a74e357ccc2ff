// The Russian names of composite units: Метр в секунду, Квадратный метр,
// Ньютон-метр, Метр в минус первой степени.
#pragma once

#include <string>
#include <vector>

#include "composition.h"

namespace solver {

std::string composition_name(const std::vector<CompositionItem> &items);

}  // namespace solver
