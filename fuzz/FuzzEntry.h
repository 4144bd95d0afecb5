#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// What the fuzz targets run, one input at a time; the corpus test replays the same. A broken
// rule aborts, so the fuzzer keeps the input that broke it.

// Loads a store whose data file `fileName` holds the bytes (the other files absent), then
// checks what the store promises of any file: what loaded is written back unchanged, a
// repaired file loads clean the next time, and ids and indexes agree.
void FuzzDataFile(const std::string& fileName, const uint8_t* data, size_t size);

// Runs the date and time functions on the bytes: texts for the parsers, numbers for the
// arithmetic. Checks results stay in range where the functions promise it.
void FuzzDateTexts(const uint8_t* data, size_t size);

// Reads the bytes as an iCalendar file, repeats laid out over a year in a zone with summer
// time. Checks a refusal is whole and said, and each event's occurrences stay in number.
void FuzzIcs(const uint8_t* data, size_t size);
