#include "WebmMuxer.h"

#include <bit>
#include <cstring>
#include <stdexcept>

namespace quorrel::output::animation {

namespace {

using Bytes = std::vector<uint8_t>;

// Element ids, with their length marker bits as they are written.
enum : uint32_t {
    kEbml = 0x1A45DFA3, kEbmlVersion = 0x4286, kEbmlReadVersion = 0x42F7, kEbmlMaxIdLength = 0x42F2,
    kEbmlMaxSizeLength = 0x42F3, kDocType = 0x4282, kDocTypeVersion = 0x4287, kDocTypeReadVersion = 0x4285,
    kSegment = 0x18538067, kSeekHead = 0x114D9B74, kSeek = 0x4DBB, kSeekId = 0x53AB, kSeekPosition = 0x53AC,
    kInfo = 0x1549A966, kTimecodeScale = 0x2AD7B1, kDuration = 0x4489, kMuxingApp = 0x4D80, kWritingApp = 0x5741,
    kTracks = 0x1654AE6B, kTrackEntry = 0xAE, kTrackNumber = 0xD7, kTrackUid = 0x73C5, kTrackType = 0x83,
    kFlagLacing = 0x9C, kCodecId = 0x86, kDefaultDuration = 0x23E383, kVideo = 0xE0, kPixelWidth = 0xB0,
    kPixelHeight = 0xBA, kCluster = 0x1F43B675, kTimecode = 0xE7, kSimpleBlock = 0xA3, kCues = 0x1C53BB6B,
    kCuePoint = 0xBB, kCueTime = 0xB3, kCueTrackPositions = 0xB7, kCueTrack = 0xF7, kCueClusterPosition = 0xF1,
};

// The longest a cluster may run: block times are 16-bit offsets from it.
constexpr uint64_t kClusterSpanMs = 30000;

void PutId(Bytes& out, uint32_t id)
{
    int bytes = 4;
    while (bytes > 1 && (id >> (8 * (bytes - 1))) == 0)
        --bytes;
    for (int i = bytes - 1; i >= 0; --i)
        out.push_back(uint8_t(id >> (8 * i)));
}

// A size as a variable-length integer of the fewest bytes (the value with
// all bits set is reserved for "unknown").
void PutSize(Bytes& out, uint64_t size)
{
    int length = 1;
    while (length < 8 && size >= (uint64_t(1) << (7 * length)) - 1)
        ++length;
    if (length == 8 && size >= (uint64_t(1) << 56) - 1)
        throw std::length_error("element too large");
    const uint64_t coded = size | (uint64_t(1) << (7 * length));
    for (int i = length - 1; i >= 0; --i)
        out.push_back(uint8_t(coded >> (8 * i)));
}

void PutElement(Bytes& out, uint32_t id, const Bytes& payload)
{
    PutId(out, id);
    PutSize(out, payload.size());
    out.insert(out.end(), payload.begin(), payload.end());
}

// An unsigned integer in `width` bytes (0: the fewest, at least one).
void PutUint(Bytes& out, uint32_t id, uint64_t value, int width = 0)
{
    if (width == 0) {
        width = 1;
        while (width < 8 && (value >> (8 * width)) != 0)
            ++width;
    }
    Bytes payload;
    for (int i = width - 1; i >= 0; --i)
        payload.push_back(uint8_t(value >> (8 * i)));
    PutElement(out, id, payload);
}

void PutFloat(Bytes& out, uint32_t id, double value)
{
    const uint64_t bits = std::bit_cast<uint64_t>(value);
    Bytes payload;
    for (int i = 7; i >= 0; --i)
        payload.push_back(uint8_t(bits >> (8 * i)));
    PutElement(out, id, payload);
}

void PutString(Bytes& out, uint32_t id, const std::string& text)
{
    PutElement(out, id, Bytes(text.begin(), text.end()));
}

void Append(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }

} // namespace

CWebmMuxer::CWebmMuxer(uint32_t width, uint32_t height, uint32_t fps, std::string codecId)
    : m_width(width), m_height(height), m_fps(fps), m_codecId(std::move(codecId))
{
}

void CWebmMuxer::AddFrame(std::vector<uint8_t> frame, uint64_t timeMs, bool key)
{
    if (m_frames.empty() ? !key : timeMs < m_frames.back().timeMs)
        throw std::invalid_argument("a WebM track starts with a key frame and runs forward in time");
    m_frames.push_back(Frame{std::move(frame), timeMs, key});
}

std::vector<uint8_t> CWebmMuxer::Finish(uint64_t durationMs) const
{
    Bytes header;
    {
        Bytes ebml;
        PutUint(ebml, kEbmlVersion, 1);
        PutUint(ebml, kEbmlReadVersion, 1);
        PutUint(ebml, kEbmlMaxIdLength, 4);
        PutUint(ebml, kEbmlMaxSizeLength, 8);
        PutString(ebml, kDocType, "webm");
        PutUint(ebml, kDocTypeVersion, 4);
        PutUint(ebml, kDocTypeReadVersion, 2);
        PutElement(header, kEbml, ebml);
    }

    Bytes info;
    {
        Bytes payload;
        PutUint(payload, kTimecodeScale, 1000000);   // a tick is a millisecond
        PutFloat(payload, kDuration, double(durationMs));
        PutString(payload, kMuxingApp, "Quorrel");
        PutString(payload, kWritingApp, "Quorrel");
        PutElement(info, kInfo, payload);
    }

    Bytes tracks;
    {
        Bytes video;
        PutUint(video, kPixelWidth, m_width);
        PutUint(video, kPixelHeight, m_height);
        Bytes entry;
        PutUint(entry, kTrackNumber, 1);
        PutUint(entry, kTrackUid, 1);
        PutUint(entry, kTrackType, 1);   // video
        PutUint(entry, kFlagLacing, 0);
        PutString(entry, kCodecId, m_codecId);
        PutUint(entry, kDefaultDuration, (1000000000ull + m_fps / 2) / m_fps);
        PutElement(entry, kVideo, video);
        Bytes payload;
        PutElement(payload, kTrackEntry, entry);
        PutElement(tracks, kTracks, payload);
    }

    // The seek head has a fixed size (positions in 8 bytes), so the
    // positions after it are known before it is written.
    auto seekHead = [](uint64_t infoAt, uint64_t tracksAt, uint64_t cuesAt) {
        Bytes payload;
        for (const auto& [id, at] : {std::pair{uint32_t(kInfo), infoAt}, std::pair{uint32_t(kTracks), tracksAt},
                                     std::pair{uint32_t(kCues), cuesAt}}) {
            Bytes seek, idBytes;
            PutId(idBytes, id);
            PutElement(seek, kSeekId, idBytes);
            PutUint(seek, kSeekPosition, at, 8);
            PutElement(payload, kSeek, seek);
        }
        Bytes out;
        PutElement(out, kSeekHead, payload);
        return out;
    };
    const uint64_t seekHeadSize = seekHead(0, 0, 0).size();
    const uint64_t infoAt = seekHeadSize;
    const uint64_t tracksAt = infoAt + info.size();
    uint64_t at = tracksAt + tracks.size();

    // Clusters: a new one at each key frame and before block offsets would
    // overflow; a cue for each one that starts with a key frame.
    Bytes clusters;
    Bytes cuePoints;
    std::size_t i = 0;
    while (i < m_frames.size()) {
        const uint64_t clusterTime = m_frames[i].timeMs;
        Bytes payload;
        PutUint(payload, kTimecode, clusterTime);
        std::size_t j = i;
        do {
            const Frame& frame = m_frames[j];
            Bytes block;
            block.push_back(0x81);   // track 1
            const auto offset = uint16_t(int16_t(frame.timeMs - clusterTime));
            block.push_back(uint8_t(offset >> 8));
            block.push_back(uint8_t(offset));
            block.push_back(frame.key ? 0x80 : 0x00);
            Append(block, frame.bytes);
            PutElement(payload, kSimpleBlock, block);
            ++j;
        } while (j < m_frames.size() && !m_frames[j].key && m_frames[j].timeMs - clusterTime < kClusterSpanMs);
        if (m_frames[i].key) {
            Bytes positions, point;
            PutUint(positions, kCueTrack, 1);
            PutUint(positions, kCueClusterPosition, at);
            PutUint(point, kCueTime, clusterTime);
            PutElement(point, kCueTrackPositions, positions);
            PutElement(cuePoints, kCuePoint, point);
        }
        Bytes cluster;
        PutElement(cluster, kCluster, payload);
        at += cluster.size();
        Append(clusters, cluster);
        i = j;
    }
    Bytes cues;
    PutElement(cues, kCues, cuePoints);

    Bytes segment = seekHead(infoAt, tracksAt, at);
    Append(segment, info);
    Append(segment, tracks);
    Append(segment, clusters);
    Append(segment, cues);
    Bytes file = header;
    PutElement(file, kSegment, segment);
    return file;
}

} // namespace quorrel::output::animation
