#pragma once
// Every file one run of quorrel-render writes, planned before anything is
// rendered: each output is checked (an image extension the encoders know,
// a folder that is there, no other output naming the same file through a
// link or another spelling) and given a temporary beside it, which proves
// it can be written. After rendering, the outputs are written into their
// temporaries, and only when all of them are whole do they replace the
// files of those names; a failed run leaves every existing file as it was.
// A name for a character device or a pipe (a link to /dev/stdout, say) is
// opened before rendering and gets its bytes last.

#include "model/StagedFile.h"

#include <memory>
#include <string>
#include <map>
#include <tuple>
#include <vector>

namespace quorrel::tools {

enum class OutputKind { Image, Document, Animation };   // Animation: checked by its own rules

struct PlannedOutput {
    OutputKind kind;
    std::string path;   // as given
    std::string option;   // the option that named it, for messages
    uint32_t image;   // the image of a batch it belongs to, from 1
    model::CFileTarget target;
    std::unique_ptr<model::CStagedFile> staged;   // after Stage()
};

class COutputPlan final {
public:
    // Checks one more output. False with a one-line message when it cannot
    // be one.
    bool Add(OutputKind kind, const std::string& option, const std::string& path, std::string& error,
             uint32_t image = 1);

    // Opens the temporary of every output; false with a one-line message
    // (and nothing left behind) when any of them cannot be written. Each
    // holds two descriptors until the end: a batch raises the process's
    // limit of open files as far as it may, and is refused before anything
    // is opened when that is not enough.
    bool Stage(std::string& error);

    std::vector<PlannedOutput>& Outputs() { return m_outputs; }

    // Puts every output in place: all are flushed and prepared first, then
    // renamed over their targets in order. False with a one-line message.
    bool Commit(std::string& error);

    // Drops every temporary; the files keep what they had.
    void Discard();

private:
    std::vector<PlannedOutput> m_outputs;
    // Existing files by device and inode, new ones by folder and name.
    using FileKey = std::tuple<bool, uint64_t, uint64_t, std::string>;
    std::map<FileKey, std::size_t> m_files;
};

} // namespace quorrel::tools
