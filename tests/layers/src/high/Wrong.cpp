#include "low/inner/Private.h"
#include "side/Side.h"
#include <sqlite3.h>
