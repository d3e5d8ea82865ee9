#include "core/list/NoteListRows.h"
