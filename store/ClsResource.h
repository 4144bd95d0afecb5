#pragma once

#include "store/NamedRecord.h"

// A schedulable resource (a schedule row); Name() is the whole 24-character field,
// trailing padding included.
class ClsResource : public NamedRecord<false> {};
