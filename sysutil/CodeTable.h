#ifndef SYNC_SYS_CODETABLE_H
#define SYNC_SYS_CODETABLE_H

#include "Options.h"

// A table of codes a program acts by (exit statuses, reject codes) is written once, as a file of
// SYNC_CODE(NAME, VALUE, "meaning") lines that the build also writes into the manual pages. Included
// with SYNC_CODE defined as one of these, it gives the enumerators the code uses or the rows --help
// lists.
#define SYNC_CODE_ENUMERATOR(name, value, text) name = value,
#define SYNC_CODE_ROW(name, value, text) SyncSys::Options::Code{value, text},

#endif
