#pragma once

class QQuickWindow;

// What the C library's allocator keeps once start-up is over.
//
// Loading the main window compiles its documents, decodes its first pictures and reads the device: most of that
// memory is freed again within the first second, but the allocator keeps freed memory for reuse rather than
// returning it, and gives every thread that allocates an arena of its own. The program has few threads that
// allocate much, so two arenas serve it; and once the first frame is shown and the start-up work has settled, the
// free memory at the top and in the middle of the arenas goes back to the system, once.
//
// Threads: GUI thread only. limitArenas() before any other thread exists; releaseAfterFirstFrame() once the main
// window exists.
namespace HeapRelease {

// At most two allocation arenas for the whole process.
void limitArenas();

// Once `window` has shown its first frame and the start-up work has had `settleMs` to finish, the allocator
// returns its free memory to the system. One time only: no timer remains once it has run.
void releaseAfterFirstFrame(QQuickWindow* window, int settleMs = 1000);

// Returns the allocator's free memory to the system now.
void releaseNow();

} // namespace HeapRelease
