#pragma once
// The loop as the living wallpaper's player reads it: a small header, then
// every frame at the tile's own size as 32-bit words 0xffRRGGBB, one frame
// after the other with no gaps. The player maps the file and shows frames
// straight from the mapping, so the header is checked against the file's
// own length before any frame is touched. Plain C++: the player has no Qt.
//
// Header (64 bytes, little-endian):
//   0  8  magic "QRLLOOP1"
//   8  4  header size (64)      12 4  width        16 4  height
//   20 4  frames                24 4  frames a second
//   28 4  stride in words (= width)
//   32 8  bytes a frame (stride * height * 4)
//   40 24 zero

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace quorrel::output::living {

inline constexpr std::size_t kFramesHeaderBytes = 64;
inline constexpr uint32_t kLargestFrameSide = 4096;
inline constexpr uint32_t kMostFrames = 36000;
inline constexpr uint32_t kMostFps = 120;
// The largest frames file written or read (4 GiB): far above any loop the
// command line makes at a tile's size, and bounded so a hostile header
// cannot make the reader map more.
inline constexpr uint64_t kLargestFramesFile = uint64_t(4) << 30;

struct CFramesHeader {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t frames = 0;
    uint32_t fps = 0;
    uint32_t strideWords = 0;
    uint64_t frameBytes = 0;

    uint64_t FileBytes() const { return kFramesHeaderBytes + frameBytes * frames; }
};

// The header bytes for a loop; the size check fails (nothing) when the loop
// is out of bounds.
std::optional<CFramesHeader> MakeFramesHeader(uint32_t width, uint32_t height, uint32_t frames, uint32_t fps,
                                              std::string& error);
void EncodeFramesHeader(const CFramesHeader& header, uint8_t (&bytes)[kFramesHeaderBytes]);

// The header of a file of `fileBytes` bytes starting with `bytes` (at
// least `size` of them): nothing with the reason when it is short, names
// another format, holds values out of bounds or does not add up to the
// file's length exactly.
std::optional<CFramesHeader> ParseFramesHeader(const uint8_t* bytes, std::size_t size, uint64_t fileBytes,
                                               std::string& error);

// A frames file mapped read-only. Opened without following a link or
// blocking on a pipe: only a regular file is read.
class CFramesFile final {
public:
    CFramesFile() = default;
    ~CFramesFile();
    CFramesFile(const CFramesFile&) = delete;
    CFramesFile& operator=(const CFramesFile&) = delete;

    bool Open(const std::string& path, std::string& error);
    const CFramesHeader& Header() const { return m_header; }
    // Frame `f` (0 .. frames-1): its first word.
    const uint32_t* Frame(uint32_t f) const;

private:
    void Close();

    const uint8_t* m_map = nullptr;
    std::size_t m_mapBytes = 0;
    CFramesHeader m_header;
};

} // namespace quorrel::output::living
