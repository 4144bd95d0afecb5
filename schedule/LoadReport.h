#pragma once

#include <QString>

#include <vector>

#include "store/ClsGlobal.h"
#include "store/ProgramFolders.h"

// What the user is told at start-up about data files that were not as expected: which file,
// what was wrong or why it could not be read, and what became of it.
QString DescribeLoadProblems(const std::vector<FileProblem>& problems,
                             const ProgramFolders& folders);
