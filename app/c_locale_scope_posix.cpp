#include <locale.h>

#include "c_locale_scope.h"

namespace {

locale_t CLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}

}  // namespace

CLocaleScope::CLocaleScope() {
    if (CLocale()) before_ = uselocale(CLocale());
}

CLocaleScope::~CLocaleScope() {
    if (before_) uselocale(static_cast<locale_t>(before_));
}
