#pragma once

#include <QString>

#include "common/Result.h"
#include "store/RegValue.h"

namespace th {

class RegistryStore;

// One value as a line of text for people: the name in double quotes ("@" for the default
// value), " = ", and the data: a text in double quotes (expandable and multi-strings say
// so; a multi-string shows each of its texts), "dword:" with the number in hexadecimal and
// decimal, or "hex:"/"hex(N):" bytes. Line breaks and tabs in a text show as \r, \n, \t.
QString describeRegValue(const RegValue &value);

// The watch list with every stored value: each item key's name on a line of its own, its
// values below it indented by two blanks (sub-keys, which the program never writes, by two
// more with their names). Nothing at all for an empty watch list. A store that cannot be
// read in full gives an error instead of part of the list.
Result<QString> describeWatchList(const RegistryStore &store);

} // namespace th
