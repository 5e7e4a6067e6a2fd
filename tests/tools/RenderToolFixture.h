#pragma once
// The fixture of the tests that run quorrel-render from outside: a folder of
// their own, the tool run in it with --quiet, and its files read back.

#include "ToolProcess.h"
#include "support/TempFolder.h"

#include <QFile>
#include <QImage>
#include <QString>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace quorrel::test {

class RenderBatch : public ::testing::Test {
protected:

    ToolResult Run(const std::vector<std::string>& args)
    {
        std::vector<std::string> argv{QUORREL_RENDER_TOOL, "--quiet"};
        argv.insert(argv.end(), args.begin(), args.end());
        return RunTool(argv, m_dir.string());
    }
    // Runs and expects success.
    void Ok(const std::vector<std::string>& args)
    {
        const ToolResult run = Run(args);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.err, "");
    }
    QString Path(const std::string& name) const { return QString::fromStdString((m_dir / name).string()); }
    QImage Image(const std::string& name) const
    {
        return QImage(Path(name)).convertToFormat(QImage::Format_RGB32);
    }
    QByteArray Bytes(const std::string& name) const
    {
        QFile file(Path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    std::vector<std::string> Files() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(m_dir))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    CTempFolder m_folder{"quorrel-batch"};
    const std::filesystem::path m_dir = m_folder.Path();
};

// Every pixel of `filled` is the tile's at (x mod w, y mod h).
inline void ExpectTileRepeated(const QImage& filled, const QImage& tile, QSize size)
{
    ASSERT_FALSE(tile.isNull());
    ASSERT_EQ(filled.size(), size);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            ASSERT_EQ(filled.pixel(x, y), tile.pixel(x % tile.width(), y % tile.height())) << x << "," << y;
}

} // namespace quorrel::test
