#pragma once
// The command line of quorrel-render:
//   quorrel-render [INPUT.wpp] [-o OUTPUT] [--generate] [--seed N]
//                  [--save-wpp FILE] [--threads N] [--quiet]

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quorrel::tools {

struct RenderOptions {
    std::optional<std::string> input;
    std::optional<std::string> output;
    std::optional<std::string> saveWpp;
    bool generate = false;
    std::optional<uint32_t> seed;
    unsigned threads = 0;   // 0: all cores
    bool quiet = false;
    bool help = false;
};

// Parses the arguments after the program name. Returns the options, or
// nothing with a one-line reason in `error`.
std::optional<RenderOptions> ParseRenderArguments(const std::vector<std::string>& args, std::string& error);

std::string RenderUsage();

} // namespace quorrel::tools
