#pragma once
// Sample for the layer check: the files layer stands on no other layer of ours.
#include "files/sink.h"
#include "automation/error.h"
