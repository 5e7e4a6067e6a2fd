#include "ShownText.h"

#include <algorithm>

namespace quorrel::model {

std::string ShownText(const std::string& text, std::size_t longestBytes)
{
    std::size_t end = std::min(text.size(), longestBytes);
    while (end < text.size() && end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;   // not inside a UTF-8 sequence
    std::string shown;
    for (std::size_t i = 0; i < end; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        shown += c < 0x20 || c == 0x7f ? '?' : text[i];
    }
    return end < text.size() ? shown + "..." : shown;
}

} // namespace quorrel::model
