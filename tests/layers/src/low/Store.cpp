#include "low/inner/Private.h"
#include <sqlite3.h>
