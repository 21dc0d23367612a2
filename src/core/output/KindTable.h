// Listings of several kinds of record in one table (our own cameras and
// ONVIF ones): a `kind` column first, then the columns of every kind in
// the order they first appear. A row leaves the columns of other kinds
// absent, so in JSON each object carries its own kind's keys only and
// reads exactly as a listing of that kind alone would, plus `kind`.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "core/output/RecordWriter.h"

namespace orvanta::output {

// Each table's rows, in the order given, under `kind`.
OutputTable KindTable(const std::vector<std::pair<std::string, OutputTable>>& kinds);

}  // namespace orvanta::output
