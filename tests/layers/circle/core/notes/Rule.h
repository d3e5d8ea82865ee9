#include "core/list/Rows.h"
