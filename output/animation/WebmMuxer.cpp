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

// The longest a cluster runs (block times are 16-bit offsets from it, and
// players read a cluster whole).
constexpr uint64_t kClusterSpanMs = 5000;

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

// An element's id and a size of 8 bytes, to be patched when it is known.
constexpr uint64_t kPlaceholderSize = 8;

void PutOpenElement(Bytes& out, uint32_t id)
{
    PutId(out, id);
    out.push_back(0x01);
    out.insert(out.end(), 7, 0xFF);
}

// A size in exactly 8 bytes.
Bytes EightByteSize(uint64_t size)
{
    if (size >= (uint64_t(1) << 56) - 1)
        throw std::length_error("element too large");
    Bytes out{0x01};
    for (int i = 6; i >= 0; --i)
        out.push_back(uint8_t(size >> (8 * i)));
    return out;
}

// The seek head, a fixed size (positions in 8 bytes) whatever they are.
Bytes SeekHead(uint64_t infoAt, uint64_t tracksAt, uint64_t cuesAt)
{
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
}

} // namespace

CWebmMuxer::CWebmMuxer(model::CStagedFile& file, uint32_t width, uint32_t height, uint32_t fps,
                       std::string codecId, uint64_t durationMs)
    : m_file(file)
{
    Bytes& out = m_header;
    {
        Bytes ebml;
        PutUint(ebml, kEbmlVersion, 1);
        PutUint(ebml, kEbmlReadVersion, 1);
        PutUint(ebml, kEbmlMaxIdLength, 4);
        PutUint(ebml, kEbmlMaxSizeLength, 8);
        PutString(ebml, kDocType, "webm");
        PutUint(ebml, kDocTypeVersion, 4);
        PutUint(ebml, kDocTypeReadVersion, 2);
        PutElement(out, kEbml, ebml);
    }
    PutOpenElement(out, kSegment);
    m_segmentData = out.size();

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
        PutUint(video, kPixelWidth, width);
        PutUint(video, kPixelHeight, height);
        Bytes entry;
        PutUint(entry, kTrackNumber, 1);
        PutUint(entry, kTrackUid, 1);
        PutUint(entry, kTrackType, 1);   // video
        PutUint(entry, kFlagLacing, 0);
        PutString(entry, kCodecId, codecId);
        PutUint(entry, kDefaultDuration, (1000000000ull + fps / 2) / fps);
        PutElement(entry, kVideo, video);
        Bytes payload;
        PutElement(payload, kTrackEntry, entry);
        PutElement(tracks, kTracks, payload);
    }
    m_seekHeadAt = out.size();
    const Bytes seekHead = SeekHead(0, 0, 0);
    m_infoAt = seekHead.size();
    m_tracksAt = m_infoAt + info.size();
    Append(out, SeekHead(m_infoAt, m_tracksAt, 0));
    Append(out, info);
    Append(out, tracks);
}

bool CWebmMuxer::Write(const Bytes& bytes)
{
    if (!m_file.WriteAt(m_at, bytes))
        return false;
    m_at += bytes.size();
    return true;
}

bool CWebmMuxer::AddFrame(std::span<const uint8_t> frame, uint64_t timeMs, bool key)
{
    if (m_frames == 0 ? !key : timeMs < m_lastTime)
        throw std::invalid_argument("a WebM track starts with a key frame and runs forward in time");
    if (m_frames == 0 && !Write(m_header))
        return false;
    // A new cluster at each key frame and before block offsets grow long.
    if (m_clusterOpen && (key || timeMs - m_clusterTime >= kClusterSpanMs) && !CloseCluster())
        return false;
    if (!m_clusterOpen) {
        m_clusterAt = m_at;
        m_clusterTime = timeMs;
        if (key) {
            Bytes positions, point;
            PutUint(positions, kCueTrack, 1);
            PutUint(positions, kCueClusterPosition, m_clusterAt - m_segmentData);
            PutUint(point, kCueTime, timeMs);
            PutElement(point, kCueTrackPositions, positions);
            PutElement(m_cuePoints, kCuePoint, point);
        }
        Bytes opening;
        PutOpenElement(opening, kCluster);
        PutUint(opening, kTimecode, timeMs);
        if (!Write(opening))
            return false;
        m_clusterOpen = true;
    }
    Bytes block;
    PutId(block, kSimpleBlock);
    PutSize(block, frame.size() + 4);
    block.push_back(0x81);   // track 1
    const auto offset = uint16_t(int16_t(timeMs - m_clusterTime));
    block.push_back(uint8_t(offset >> 8));
    block.push_back(uint8_t(offset));
    block.push_back(key ? 0x80 : 0x00);
    if (!Write(block) || !m_file.WriteAt(m_at, frame))
        return false;
    m_at += frame.size();
    m_lastTime = timeMs;
    ++m_frames;
    return true;
}

bool CWebmMuxer::CloseCluster()
{
    m_clusterOpen = false;
    const uint64_t payload = m_at - (m_clusterAt + 4 + kPlaceholderSize);
    return m_file.WriteAt(m_clusterAt + 4, EightByteSize(payload));
}

bool CWebmMuxer::Finish()
{
    if (m_frames == 0)
        throw std::invalid_argument("a WebM track has frames");
    if (m_clusterOpen && !CloseCluster())
        return false;
    const uint64_t cuesAt = m_at - m_segmentData;
    Bytes cues;
    PutElement(cues, kCues, m_cuePoints);
    return Write(cues) && m_file.WriteAt(m_seekHeadAt, SeekHead(m_infoAt, m_tracksAt, cuesAt)) &&
           m_file.WriteAt(m_segmentData - kPlaceholderSize, EightByteSize(m_at - m_segmentData));
}

} // namespace quorrel::output::animation
