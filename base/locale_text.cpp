#include "base/locale_text.h"

#include <oleauto.h>

#include "base/now.h"
#include "base/text.h"

namespace vt {

std::wstring LocaleText(LCTYPE type) {
    wchar_t buffer[128]{};
    if (!GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buffer, 128)) return L"";
    return buffer;
}

std::wstring LocaleShortDate(TDateTime value) {
    const SYSTEMTIME st = DateTimeToSystemTime(value);
    wchar_t buffer[128]{};
    if (!GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, buffer, 128)) return L"";
    return buffer;
}

std::wstring LocaleLongTime(TDateTime value) {
    const SYSTEMTIME st = DateTimeToSystemTime(value);
    wchar_t buffer[128]{};
    if (!GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &st, nullptr, buffer, 128)) return L"";
    return buffer;
}

std::wstring DateTimeToText(TDateTime value) {
    std::wstring text = LocaleShortDate(value);
    if (DateTimeToMSecs(TimeOf(value)) != 0) text += L" " + LocaleLongTime(value);
    return text;
}

std::optional<TDateTime> TextToDateTime(const std::wstring& text) {
    if (Trim(text).empty()) return std::nullopt;
    DATE d = 0;
    // The stored text is in the user's locale; the automation parser reads exactly that.
    if (FAILED(VarDateFromStr(const_cast<OLECHAR*>(text.c_str()), LOCALE_USER_DEFAULT, 0, &d))) return std::nullopt;
    return d;
}

}  // namespace vt
