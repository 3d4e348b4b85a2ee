#pragma once

#include <shapefil.h>

namespace qev {

// shapelib's file hooks over a file read and written through one buffered
// window. shapelib seeks and writes once per record, and through the C library
// each of those is a system call: a statement of 100,000 rows spent seconds
// in them. Here consecutive records cost a copy, and the window goes to the
// file when shapelib moves elsewhere, flushes or closes.
SAHooks* dbfFileHooks();

// True once a write of the file failed; the failure is only seen when the
// window is written, which may be long after the call that filled it.
bool dbfWriteFailed(SAFile file);

}  // namespace qev
