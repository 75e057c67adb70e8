#pragma once

namespace platform
{

// While on, the allocator keeps freed memory, big blocks included, for the next allocations
// instead of giving it back to the system. Qt lays a line out again as a whole on each keystroke,
// with hundreds of megabytes of glyph arrays for a line of ten million characters; given back each
// time, every keystroke faults all of them in anew. Off gives the kept memory back.
void keepBigBuffers(bool on);

// Where the system gives huge pages only to memory that asks for them, starts the program again
// at once (same process, same arguments) with the allocator asking for them: the document's
// structures for a big page then take one page fault per 2 MB instead of one per 4 KB (a 10 MB
// page settles about 15 % sooner). Returns when it did not restart, or in the restarted program,
// which gets the environment as it was, so the programs it starts do not inherit the setting.
void restartWithHugePages(char **argv);

} // namespace platform
