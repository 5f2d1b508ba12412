#include "panels/vt2.h"

vt2::vt2() = default;
