#pragma once
// A small WebM (Matroska) writer for one video track, streaming into a
// staged file: the EBML header, the segment information, the track, then
// clusters of simple blocks as the frames come, and at the end the cues of
// the key frames, found through a seek head. Sizes that are not known
// while writing (each cluster's, the segment's, the cues' position) are
// written as 8-byte placeholders and patched in place at the end, so every
// element has its real size (no "unknown size" elements for a player to
// guess about) and only the open cluster's frame is ever held in memory.
// Times are in milliseconds.

#include "model/StagedFile.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace quorrel::output::animation {

class CWebmMuxer final {
public:
    // A track of `codecId` ("V_VP9") frames of width x height shown at
    // `fps`, `durationMs` long, written into `file` (which must be empty).
    CWebmMuxer(model::CStagedFile& file, uint32_t width, uint32_t height, uint32_t fps, std::string codecId,
               uint64_t durationMs);

    // The next frame in presentation order, at `timeMs` from the start.
    // Throws std::invalid_argument when the track would not start with a
    // key frame or would run backwards; false when the file could not be
    // written (the file's failure says why).
    bool AddFrame(std::span<const uint8_t> frame, uint64_t timeMs, bool key);

    std::size_t Frames() const { return m_frames; }

    // Closes the last cluster, writes the cues and patches the sizes.
    bool Finish();

private:
    bool Write(const std::vector<uint8_t>& bytes);
    bool CloseCluster();

    model::CStagedFile& m_file;
    uint64_t m_at = 0;              // where the next byte goes
    uint64_t m_segmentData = 0;     // where the segment's payload starts
    uint64_t m_seekHeadAt = 0;
    uint64_t m_infoAt = 0;          // relative to the segment's payload
    uint64_t m_tracksAt = 0;
    bool m_clusterOpen = false;
    uint64_t m_clusterAt = 0;       // the open cluster's id, in the file
    uint64_t m_clusterTime = 0;
    std::vector<uint8_t> m_cuePoints;
    std::size_t m_frames = 0;
    uint64_t m_lastTime = 0;
    std::vector<uint8_t> m_header;   // written with the first frame
};

} // namespace quorrel::output::animation
