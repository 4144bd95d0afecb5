// One data file fuzzed; the build names the file.
#include "fuzz/FuzzEntry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzDataFile(TIDEMAR_FUZZ_FILE, data, size);
    return 0;
}
