#pragma once

namespace platform
{

// While on, the allocator keeps freed memory, big blocks included, for the next allocations
// instead of giving it back to the system. Qt lays a line out again as a whole on each keystroke,
// with hundreds of megabytes of glyph arrays for a line of ten million characters; given back each
// time, every keystroke faults all of them in anew. Off gives the kept memory back.
void keepBigBuffers(bool on);

} // namespace platform
