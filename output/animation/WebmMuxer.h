#pragma once
// A small WebM (Matroska) writer for one video track: the EBML header, the
// segment information, the track, clusters of simple blocks and the cues of
// the key frames, found through a seek head. Frames are held in memory and
// the file is laid out whole at the end, so every element's size is known
// and written (no "unknown size" elements for a player to guess about).
// Times are in milliseconds.

#include <cstdint>
#include <string>
#include <vector>

namespace quorrel::output::animation {

class CWebmMuxer final {
public:
    // A track of `codecId` ("V_VP9") frames of width x height shown at `fps`.
    CWebmMuxer(uint32_t width, uint32_t height, uint32_t fps, std::string codecId);

    // The next frame in presentation order, at `timeMs` from the start.
    void AddFrame(std::vector<uint8_t> frame, uint64_t timeMs, bool key);

    std::size_t Frames() const { return m_frames.size(); }

    // The whole file, `durationMs` long.
    std::vector<uint8_t> Finish(uint64_t durationMs) const;

private:
    struct Frame {
        std::vector<uint8_t> bytes;
        uint64_t timeMs;
        bool key;
    };

    uint32_t m_width;
    uint32_t m_height;
    uint32_t m_fps;
    std::string m_codecId;
    std::vector<Frame> m_frames;
};

} // namespace quorrel::output::animation
