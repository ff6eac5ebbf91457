// Prints TXeRect values in test failure messages as (left,top,right,bottom).
#pragma once

#include "base/util/TXeRect.h"

#include <ostream>

inline void PrintTo(const TXeRect& r, std::ostream* out)
{
    *out << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ")";
}
