#pragma once
// The encoders of animation files: frames go in one after the other, each
// shown for its duration, and the file loops forever. Every encoder writes
// into staged files (model/StagedFile), which its caller commits only when
// the whole animation is in them, so an interrupted or failed export leaves
// nothing behind.

#include "model/StagedFile.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QImage;

namespace quorrel::output::animation {

enum class AnimationFormat { WebP, Gif, WebM, PngFrames };

// The format a file name asks for: ".webp", ".gif", ".webm" (any case), or
// ".png" for a frame sequence, whose name must hold {n}; nothing otherwise.
std::optional<AnimationFormat> AnimationFormatForPath(const std::string& path);
// The extensions of animations, for messages: ".webp .gif .webm .png".
std::string AnimationExtensions();
// The name of frame `f` (from 0) of `frames` in a frame sequence: {n} in
// `pattern` becomes f + 1, zero-padded to the width of `frames`.
std::string FrameFileName(const std::string& pattern, uint32_t f, uint32_t frames);

struct AnimationSettings {
    int width = 0;    // of every frame
    int height = 0;
    uint32_t frames = 0;
    uint32_t fps = 30;
    // 0..100: the quality of a lossy WebP and the constant quality of a
    // WebM; none: each format's default, chosen by measurement.
    std::optional<int> quality;
    // WebP: the exact frames (lossless) instead of lossy ones.
    bool lossless = false;
    // GIF: one palette learned from samples for every frame instead of one
    // a frame.
    bool sharedPalette = false;
};

class CAnimationEncoder {
public:
    virtual ~CAnimationEncoder() = default;

    // A GIF with a shared palette learns it from these before the first
    // frame; the others ignore them.
    virtual bool WantsPaletteSamples() const { return false; }
    virtual bool AddPaletteSample(const QImage&) { return true; }

    // The next frame (width x height, any opaque format). False when it
    // could not be encoded or written; Error() says why.
    virtual bool AddFrame(const QImage& frame) = 0;
    // Writes what is left (after the last frame). False as AddFrame.
    virtual bool Finish() = 0;

    const std::string& Error() const { return m_error; }

protected:
    bool Fail(const std::string& error)
    {
        m_error = error;
        return false;
    }

private:
    std::string m_error;
};

// The encoder of `format` writing into `files`: one staged file, or for a
// frame sequence one a frame in order. Nothing, with the reason in `error`,
// when the settings are out of the format's bounds.
std::unique_ptr<CAnimationEncoder> CreateAnimationEncoder(AnimationFormat format, const AnimationSettings& settings,
                                                          std::vector<model::CStagedFile*> files, std::string& error);

} // namespace quorrel::output::animation
