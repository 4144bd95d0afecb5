#pragma once

#include <cstdint>
#include <ostream>
#include <span>

class ClsGlobal;

// RFC 4180 in UTF-8: a header row (Start date, Start time, End date, End time, Resource,
// Customer, Type, Reference), then one row per appointment (missing ids left out),
// CRLF line ends, fields quoted when they hold a comma, a quote or a line end. Dates and
// times as YYYY-MM-DD and HH:MM. False when the stream failed.
bool WriteCsv(const ClsGlobal& store, std::span<const int32_t> ids, std::ostream& out);
