// Amount texts: any text given to valor() either converts or raises the
// conversion error, and every amount written by mascara()/pesos() reads back
// as the same amount cut to two decimals.

#include "FuzzSupport.h"
#include "format/AmountText.h"
#include "format/Error.h"

namespace {

using namespace qev;

// The amount with its fraction cut (not rounded) to two decimals.
Currency cutToCents(Currency amount) {
    return Currency::fromRaw(amount.raw() - amount.raw() % 100);
}

void checkRoundTrip(Currency amount) {
    const QString masked = mascara(amount);
    if (valor(masked) != cutToCents(amount)) fuzz::broken("valor(mascara(x))", masked);
    const QString money = pesos(amount);
    if (valor(money) != cutToCents(amount)) fuzz::broken("valor(pesos(x))", money);
    // Fixed-width texts keep the canonical digits when the width is enough.
    const QString fixed = vstr(amount, 30, 4);
    if (fixed.size() != 30) fuzz::broken("vstr width", fixed);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString input = fuzz::text(data, size);
    Currency amount;
    try {
        amount = valor(input);
    } catch (const ConversionError&) {
        return 0;  // out of range: the one failure valor() may give
    }
    checkRoundTrip(amount);
    try {
        const int whole = wholeNumber(amount);
        if (Currency::fromUnits(whole) != amount) fuzz::broken("wholeNumber", amount.toString());
    } catch (const ConversionError&) {
        if (!amount.hasFraction() && amount.raw() / Currency::Scale >= INT32_MIN &&
            amount.raw() / Currency::Scale <= INT32_MAX)
            fuzz::broken("wholeNumber refused a whole amount", amount.toString());
    }
    return 0;
}
