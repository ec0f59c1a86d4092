#pragma once
// Kept for line_list_test.cpp until it moves.
#include "support/temp_folder.h"

namespace qv {
using TempDir = test::TempFolder;
}
