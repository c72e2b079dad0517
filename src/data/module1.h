#pragma once

#include "core/calculation.h"

#include <optional>

// Connection and sums of the working tables.
namespace Module1 {

// The entries of tblAppoggio, for the furnishings method's sum. The user is told about lines
// whose fields were all emptied and about a sum too large to be a number; nothing (with a
// message) while no working table has been named yet.
std::optional<QVector<FurnishingEntry>> CalcoloCarIncArredo();
// The same for the materials working table.
std::optional<QVector<MaterialEntry>> RicalcoloMateriali();

} // namespace Module1
