#pragma once

// Sorting full paths into the program's one order (the order of Cp932::SortNoCase) for lists as
// folder listings give them: the files of a folder following each other.

#include <string>
#include <vector>

namespace PathSort {

// The same result as Cp932::SortNoCase(paths), for any list. Each group of consecutive paths in
// one folder is sorted on the file names alone; the groups are then put in order by their first
// paths and merged where they overlap. No sort keys are built, so the list is not held twice.
void SortPaths(std::vector<std::string>& paths);

}  // namespace PathSort
