// parse_decimal.cpp - see parse_decimal.h.
#include "settings/parse_decimal.h"

static bool IsParseSpace(unsigned char c)
{
    return c == 32 || (c >= 9 && c <= 13);
}

uint32_t ParseDecimal(const char* text)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (IsParseSpace(*p))
        p++;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        p++;
    }
    // Unsigned arithmetic wraps modulo 2^32, which is the rule.
    uint32_t value = 0;
    while (*p >= '0' && *p <= '9') {
        value = value * 10u + static_cast<uint32_t>(*p - '0');
        p++;
    }
    return negative ? 0u - value : value;
}
