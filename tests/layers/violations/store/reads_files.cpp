// Sample for the layer check: the store stands on no other layer of ours.
#include <sqlite3.h>

#include "store/store.h"
#include "files/replace_file.h"
