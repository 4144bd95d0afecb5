#pragma once

class StoreChanges;
class ClsDate;

// The small set of records a first run starts with, so the schedule shows something:
// three types, three resources, three customers and eleven appointments today, told as one
// change.
void CreateSampleData(StoreChanges& store, const ClsDate& date);
