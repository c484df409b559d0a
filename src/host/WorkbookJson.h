#pragma once
#include "host/dump/WorkbookJson.h"  // the dump has its own room in the host
