#include "OutputPlan.h"

#include "ImageFileWriter.h"

namespace quorrel::tools {

bool COutputPlan::Add(OutputKind kind, const std::string& option, const std::string& path, std::string& error)
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
    PlannedOutput output{kind, path, option, {}, nullptr};
    model::CFileError failure;
    if (!model::ResolveFileTarget(path, output.target, failure, model::SpecialFiles::Accept)) {
        error = failure.message;
        return false;
    }
    for (const PlannedOutput& other : m_outputs) {
        if (model::IsSameFile(other.target, output.target)) {
            error = path + ": the same file as " + other.path + " (" + other.option + "); each output needs a file "
                    "of its own";
            return false;
        }
    }
    m_outputs.push_back(std::move(output));
    return true;
}

bool COutputPlan::Stage(std::string& error)
{
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
