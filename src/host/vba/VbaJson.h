#pragma once
#include "host/dump/VbaJson.h"  // the dump has its own room in the host
