#pragma once

#include "sim/Catalogue.h"

namespace th::sim {

// About twenty items of every kind the site shows, placed around `now` (several end within
// minutes), with members to bid as ("demo_buyer" / "demo", "second_buyer" / "secret") and
// sellers. The same seed gives the same catalogue.
Catalogue builtInCatalogue(quint64 seed, const QDateTime &now);

} // namespace th::sim
