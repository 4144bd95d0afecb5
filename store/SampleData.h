#pragma once

class ClsGlobal;
class ClsDate;

// The small set of records a first run starts with, so the schedule shows something:
// three types, three resources, three customers and eleven appointments today.
void CreateSampleData(ClsGlobal& store, const ClsDate& date);
