#pragma once
// Kept for tests/cli and tests/report until they include support/temp_folder.h.
#include "support/temp_folder.h"
