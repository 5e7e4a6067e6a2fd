#include "RandomSource.h"

namespace quorrel::model {

namespace {
// Only the user-interface thread generates, as in the original design; the
// state is shared by every document of the process.
uint32_t g_randState = 1;
}

int Rand()
{
    g_randState = g_randState * 214013u + 2531011u;
    return static_cast<int>((g_randState >> 16) & 0x7FFFu);
}

void Srand(uint32_t seed)
{
    g_randState = seed;
}

uint32_t RandState()
{
    return g_randState;
}

} // namespace quorrel::model
