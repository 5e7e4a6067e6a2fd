#pragma once
// How many threads a rendering of quorrel-render runs on: never more than
// the processors this process may use, whatever --threads asks for (more
// threads than processors only take turns and slow the rendering down).

namespace quorrel::tools {

// The processors this process may run on (its affinity mask), at least 1.
unsigned UsableProcessors();

// `requested` (0: the renderer's own choice) limited to `processors`.
unsigned ThreadsToUse(unsigned requested, unsigned processors);

} // namespace quorrel::tools
