// The local date and time now, the same way on every platform.
#pragma once

#include <ctime>

namespace gantry {

std::tm LocalTimeNow();

}  // namespace gantry
