#pragma once
// Sample for the layer check: an include written with blanks after the hash is found too.
#include <string>

#include "conversations/download.h"
#  include "cli/run.h"
#include "nlohmann/json.hpp"
