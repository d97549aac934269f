#include "store/StoreLayout.h"

#include <algorithm>

namespace th {

bool isItemKeyName(QStringView name)
{
    const QStringView digits = name.trimmed();
    return !digits.isEmpty()
        && std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

} // namespace th
