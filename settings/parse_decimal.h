// parse_decimal.h - the decimal parse rule of the configuration dialog's
// number fields, free of any platform or host library.
#pragma once

#include <cstdint>

// Parses the NUL-terminated `text`: leading white space (codes 9 to 13 and
// 32) is skipped, one optional '+' or '-' is taken, then decimal digits up
// to the first non-digit accumulate as value * 10 + digit modulo 2^32, with
// no overflow detection; a '-' negates the result modulo 2^32. No digits
// gives 0. A host library's atoi is not used because its result on
// overflow differs between hosts.
uint32_t ParseDecimal(const char* text);
