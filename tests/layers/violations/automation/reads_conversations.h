#pragma once
// Sample for the layer check: the platform layer knows nothing of the scanner.
#include <vector>
#include "automation/text.h"
#include "conversations/download.h"
