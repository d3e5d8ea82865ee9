#include "core/storage/Planted.h"
