#pragma once
#include "common/Ports.h"  // the shared vocabulary now lives below every layer
