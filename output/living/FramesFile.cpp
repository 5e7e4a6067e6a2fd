#include "FramesFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorrel::output::living {

namespace {

constexpr char kMagic[8] = {'Q', 'R', 'L', 'L', 'O', 'O', 'P', '1'};

void Put32(uint8_t* at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = uint8_t(value >> (8 * i));
}

void Put64(uint8_t* at, uint64_t value)
{
    for (int i = 0; i < 8; ++i)
        at[i] = uint8_t(value >> (8 * i));
}

uint32_t Get32(const uint8_t* at)
{
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | at[i];
    return value;
}

uint64_t Get64(const uint8_t* at)
{
    uint64_t value = 0;
    for (int i = 7; i >= 0; --i)
        value = (value << 8) | at[i];
    return value;
}

bool Bounded(uint32_t width, uint32_t height, uint32_t frames, uint32_t fps, std::string& error)
{
    if (width < 1 || height < 1 || width > kLargestFrameSide || height > kLargestFrameSide) {
        error = "the frame size is out of bounds (1.." + std::to_string(kLargestFrameSide) + " a side)";
        return false;
    }
    if (frames < 1 || frames > kMostFrames) {
        error = "the frame count is out of bounds (1.." + std::to_string(kMostFrames) + ")";
        return false;
    }
    if (fps < 1 || fps > kMostFps) {
        error = "the frame rate is out of bounds (1.." + std::to_string(kMostFps) + ")";
        return false;
    }
    const uint64_t bytes = kFramesHeaderBytes + uint64_t(width) * height * 4 * frames;
    if (bytes > kLargestFramesFile) {
        error = "the loop is larger than the largest frames file";
        return false;
    }
    return true;
}

} // namespace

std::optional<CFramesHeader> MakeFramesHeader(uint32_t width, uint32_t height, uint32_t frames, uint32_t fps,
                                              std::string& error)
{
    if (!Bounded(width, height, frames, fps, error))
        return std::nullopt;
    CFramesHeader header{width, height, frames, fps, width, uint64_t(width) * height * 4};
    return header;
}

void EncodeFramesHeader(const CFramesHeader& header, uint8_t (&bytes)[kFramesHeaderBytes])
{
    std::memset(bytes, 0, sizeof bytes);
    std::memcpy(bytes, kMagic, sizeof kMagic);
    Put32(bytes + 8, uint32_t(kFramesHeaderBytes));
    Put32(bytes + 12, header.width);
    Put32(bytes + 16, header.height);
    Put32(bytes + 20, header.frames);
    Put32(bytes + 24, header.fps);
    Put32(bytes + 28, header.strideWords);
    Put64(bytes + 32, header.frameBytes);
}

std::optional<CFramesHeader> ParseFramesHeader(const uint8_t* bytes, std::size_t size, uint64_t fileBytes,
                                               std::string& error)
{
    if (size < kFramesHeaderBytes || fileBytes < kFramesHeaderBytes) {
        error = "the file is shorter than its header";
        return std::nullopt;
    }
    if (std::memcmp(bytes, kMagic, sizeof kMagic) != 0) {
        error = "not a frames file of this program";
        return std::nullopt;
    }
    if (Get32(bytes + 8) != kFramesHeaderBytes) {
        error = "a header size this program does not know";
        return std::nullopt;
    }
    for (std::size_t i = 40; i < kFramesHeaderBytes; ++i) {
        if (bytes[i] != 0) {
            error = "the header's reserved bytes are not zero";
            return std::nullopt;
        }
    }
    CFramesHeader header{Get32(bytes + 12), Get32(bytes + 16), Get32(bytes + 20),
                         Get32(bytes + 24), Get32(bytes + 28), Get64(bytes + 32)};
    if (!Bounded(header.width, header.height, header.frames, header.fps, error))
        return std::nullopt;
    // Bounded above: none of these products overflows.
    if (header.strideWords != header.width || header.frameBytes != uint64_t(header.strideWords) * header.height * 4) {
        error = "the stride or frame size does not match the frame's width and height";
        return std::nullopt;
    }
    if (header.FileBytes() != fileBytes) {
        error = "the file is " + std::to_string(fileBytes) + " bytes, its header says " +
                std::to_string(header.FileBytes());
        return std::nullopt;
    }
    return header;
}

CFramesFile::~CFramesFile() { Close(); }

void CFramesFile::Close()
{
    if (m_map)
        munmap(const_cast<uint8_t*>(m_map), m_mapBytes);
    m_map = nullptr;
    m_mapBytes = 0;
    m_header = {};
}

bool CFramesFile::Open(const std::string& path, std::string& error)
{
    Close();
    const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        error = path + ": not a regular file";
        close(fd);
        return false;
    }
    const uint64_t fileBytes = uint64_t(info.st_size);
    if (fileBytes < kFramesHeaderBytes || fileBytes > kLargestFramesFile) {
        error = path + ": " + (fileBytes < kFramesHeaderBytes ? "the file is shorter than its header"
                                                              : "the file is larger than a frames file can be");
        close(fd);
        return false;
    }
    void* map = mmap(nullptr, std::size_t(fileBytes), PROT_READ, MAP_SHARED, fd, 0);
    close(fd);
    if (map == MAP_FAILED) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    m_map = static_cast<const uint8_t*>(map);
    m_mapBytes = std::size_t(fileBytes);
    const auto header = ParseFramesHeader(m_map, m_mapBytes, fileBytes, error);
    if (!header) {
        error = path + ": " + error;
        Close();
        return false;
    }
    m_header = *header;
    return true;
}

const uint32_t* CFramesFile::Frame(uint32_t f) const
{
    if (!m_map || f >= m_header.frames)
        return nullptr;
    return reinterpret_cast<const uint32_t*>(m_map + kFramesHeaderBytes + m_header.frameBytes * f);
}

} // namespace quorrel::output::living
