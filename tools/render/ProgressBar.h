#pragma once
// The progress bar of quorrel-render on stderr: one line, redrawn in place,
// running from 0 to 100 % once for each image ("Rendering 2/5 [###  ]  40%"
// in a batch). The renderer reports 0 again when it is done; the bar never
// goes back, and shows 100 % once the image is complete.

#include <cstdint>
#include <cstdio>

namespace quorrel::tools {

class CProgressBar final {
public:
    // `images` above 1 shows "k/N" before the bar. A disabled bar prints nothing.
    CProgressBar(std::FILE* out, bool enabled, uint32_t images);

    // Image k (from 1) begins: 0 %.
    void Start(uint32_t image);
    // A renderer's report; lower values than shown are ignored.
    void Update(int percent);
    // The image is complete: 100 %.
    void Complete();
    // Ends the line after the last image.
    void Finish();

private:
    void Draw(int percent);

    std::FILE* m_out;
    bool m_enabled;
    uint32_t m_images;
    uint32_t m_image = 1;
    int m_shown = -1;
    bool m_drawn = false;
};

} // namespace quorrel::tools
