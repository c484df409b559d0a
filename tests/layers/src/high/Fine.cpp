#include "high/Fine.h"
#include "low/Public.h"
#include <QString>
