#pragma once
// Sample for the layer check: the fields of the object must not know the object.
#include <vector>
#include "automation/text.h"
#include "component/clicker.h"
