// parse_decimal_fuzz.cpp - the configuration dialog's number rule on any
// text: it must read nothing past the terminating zero and agree with a
// reference that evaluates the digit run as a polynomial modulo 2^32.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "settings/parse_decimal.h"

// The rule restated independently: find the digit run, then sum
// digit * 10^position modulo 2^32 from the right.
static uint32_t Reference(const char* text)
{
    size_t i = 0;
    while (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))
        i++;
    const bool negative = text[i] == '-';
    if (text[i] == '+' || text[i] == '-')
        i++;
    size_t end = i;
    while (text[end] >= '0' && text[end] <= '9')
        end++;
    uint32_t value = 0, power = 1;
    for (size_t k = end; k > i; k--) {
        value += static_cast<uint32_t>(text[k - 1] - '0') * power;
        power *= 10u;
    }
    return negative ? 0u - value : value;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The dialog reads at most 255 characters and ends them with a zero;
    // an exact-size copy lets the sanitizer see any read past it.
    const size_t n = size > 255 ? 255 : size;
    std::vector<char> text(data, data + n);
    text.push_back('\0');
    if (ParseDecimal(text.data()) != Reference(text.data()))
        std::abort();
    return 0;
}
