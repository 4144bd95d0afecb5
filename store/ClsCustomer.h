#pragma once

#include "store/NamedRecord.h"

// A customer; Name() comes back without leading and trailing spaces.
class ClsCustomer : public NamedRecord<true> {};
