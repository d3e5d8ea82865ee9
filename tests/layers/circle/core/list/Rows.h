#include "core/notes/Rule.h"
