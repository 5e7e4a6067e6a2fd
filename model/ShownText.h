#pragma once
// A value from outside (an argument, an environment variable, an address)
// as a one-line message repeats it: cut to a sensible length between UTF-8
// characters, with "..." where it was cut, and every control character shown
// as "?", so a huge or hostile value still gives one short line.

#include <cstddef>
#include <string>

namespace quorrel::model {

std::string ShownText(const std::string& text, std::size_t longestBytes);

} // namespace quorrel::model
