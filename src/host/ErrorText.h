#pragma once
#include "common/ErrorText.h"  // the shared vocabulary now lives below every layer
