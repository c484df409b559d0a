#pragma once
#include "common/Error.h"  // the shared vocabulary now lives below every layer
