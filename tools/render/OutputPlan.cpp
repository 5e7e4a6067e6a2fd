#include "OutputPlan.h"

#include "ImageFileWriter.h"

#include <sys/resource.h>

namespace quorrel::tools {

namespace {

bool EnoughDescriptors(std::size_t outputs, std::string& error)
{
    return model::CStagedFile::ReserveDescriptors(outputs, error);
}

} // namespace

bool COutputPlan::Add(OutputKind kind, const std::string& option, const std::string& path, std::string& error,
                      uint32_t image)
{
    if (path.empty()) {
        error = option + " needs a file name";
        return false;
    }
    std::string reason;
    if (kind == OutputKind::Image && !IsImageExtension(path, reason)) {
        error = path + ": " + reason;
        return false;
    }
    PlannedOutput output{kind, path, option, image, {}, nullptr};
    model::CFileError failure;
    if (!model::ResolveFileTarget(path, output.target, failure, model::SpecialFiles::Accept)) {
        error = failure.message;
        return false;
    }
    // The file's identity as IsSameFile compares it, looked up in an index
    // so that planning many outputs (a frame sequence) takes linear time.
    const model::CFileTarget& t = output.target;
    auto key = t.exists ? FileKey{true, t.device, t.inode, {}} : FileKey{false, t.folderDevice, t.folderInode, t.name};
    if (const auto found = m_files.find(key); found != m_files.end()) {
        const PlannedOutput& other = m_outputs[found->second];
        error = path + ": the same file as " + other.path + " (" + other.option + "); each output needs a file "
                "of its own";
        return false;
    }
    m_files.emplace(std::move(key), m_outputs.size());
    m_outputs.push_back(std::move(output));
    return true;
}

bool COutputPlan::Stage(std::string& error)
{
    if (!EnoughDescriptors(m_outputs.size(), error))
        return false;
    for (PlannedOutput& output : m_outputs) {
        model::CFileError failure;
        output.staged = model::CStagedFile::Create(output.path, failure, model::CStagedFile::Temporary::Unnamed,
                                                   model::SpecialFiles::Accept);
        if (!output.staged) {
            error = failure.message;
            Discard();
            return false;
        }
    }
    return true;
}

bool COutputPlan::Commit(std::string& error)
{
    model::CFileError failure;
    for (PlannedOutput& output : m_outputs) {
        if (!output.staged || !output.staged->Prepare(failure)) {
            error = output.staged ? failure.message : output.path + ": not staged";
            Discard();
            return false;
        }
    }
    for (PlannedOutput& output : m_outputs) {
        if (!output.staged->Commit(failure)) {
            error = failure.message;
            Discard();
            return false;
        }
    }
    return true;
}

void COutputPlan::Discard()
{
    for (PlannedOutput& output : m_outputs)
        output.staged.reset();
}

} // namespace quorrel::tools
