#pragma once
// The command line of quorrel-render:
//   quorrel-render [INPUT.wpp] [-o OUTPUT] [--generate] [--seed N]
//                  [--save-wpp FILE] [--size WxH] [--threads N] [--reference]
//                  [--quiet] [--kernel NAME] [--version]

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quorrel::tools {

struct RenderOptions {
    std::optional<std::string> input;
    std::optional<std::string> output;
    std::optional<std::string> saveWpp;
    bool generate = false;
    std::optional<uint32_t> seed;
    unsigned threads = 0;   // 0: all cores
    // Render at this size instead of the parameter set's own (1..8192 each).
    std::optional<std::pair<uint32_t, uint32_t>> size;
    bool reference = false;   // the scalar renderer instead of the fast one
    bool quiet = false;
    bool help = false;
    // The kernel variant named on the command line (checked by the renderer).
    std::optional<std::string> kernel;
    bool version = false;
};

// Parses the arguments after the program name. Returns the options, or
// nothing with a one-line reason in `error`.
std::optional<RenderOptions> ParseRenderArguments(const std::vector<std::string>& args, std::string& error);

std::string RenderUsage();

} // namespace quorrel::tools
