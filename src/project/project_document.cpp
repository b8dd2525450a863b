#include "project/project_document.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>

#include "imaging/fatal_error.h"
#include "imaging/string_table.h"
#include "project/project_file.h"
#include "project/stored_paths.h"

namespace tp {

namespace {

// Stored paths are made relative to the folder of the project file, so both must be absolute.
std::string Absolute(const std::string& path)
{
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

std::string FolderOfNative(const std::string& path) { return FolderOf(Absolute(path), '/'); }

ProjectFileContents ContentsOf(const CMainDoc& doc)
{
    ProjectFileContents contents;
    const std::string folder = ToStoredPath(doc.project_folder());
    for (const std::string& path : doc.image_paths())
        contents.stored_paths.push_back(MakeRelativePath(ToStoredPath(Absolute(path)), folder));
    contents.state = static_cast<std::int32_t>(doc.stitch_state());
    if (doc.stitch_state() != StitchState::Unstitched && doc.mosaic()) {
        const Mosaic& mosaic = *doc.mosaic();
        for (int i = 0; i + 1 < mosaic.source_count(); ++i) {
            const SourceAlignment& record = mosaic.alignment(i);
            StoredPair pair;
            pair.method = record.method;
            pair.translation_hint = record.translation_hint;
            pair.first_points = record.first_points;
            pair.second_points = record.second_points;
            pair.to_next = record.to_next;
            contents.pairs.push_back(pair);
        }
    } else {
        // Without a mosaic there is no alignment to store: the project is saved unstitched.
        contents.state = static_cast<std::int32_t>(StitchState::Unstitched);
    }
    return contents;
}

// Puts the stored pairs into the freshly built mosaic.
void RestorePairs(Mosaic& mosaic, const std::vector<StoredPair>& pairs)
{
    for (int i = 0; i + 1 < mosaic.source_count() && i < static_cast<int>(pairs.size()); ++i) {
        const StoredPair& pair = pairs[static_cast<std::size_t>(i)];
        SourceAlignment& record = mosaic.alignment(i);
        record.method = pair.method;
        record.translation_hint = pair.translation_hint;
        record.first_points = pair.first_points;
        record.second_points = pair.second_points;
        Matrix inverse;
        if (TryInverse(pair.to_next, inverse))
            StorePairResult(mosaic.alignments(), i, pair.to_next, inverse, 0.0);
        else
            ClearPairResult(mosaic.alignments(), i);  // a singular homography cannot place the pair
    }
}

// Why a file did not read as a project, for the message.
std::string WhyNotAProject(const std::string& path)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return std::filesystem::exists(path, error) ? "not a regular file" : "no such file";
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return "cannot be read";
    unsigned char count[4] = {};
    const std::size_t got = std::fread(count, 1, 4, file);
    std::fclose(file);
    const std::int32_t sources = static_cast<std::int32_t>(count[0] | count[1] << 8 | count[2] << 16 | std::uint32_t{count[3]} << 24);
    if (got == 4 && sources > kMaxSourceImages)
        return "it lists " + std::to_string(sources) + " source images; a project holds at most " + std::to_string(kMaxSourceImages);
    return "not a project file, or a damaged one";
}

}  // namespace

bool SaveProjectDocument(CMainDoc& doc, const std::string& path)
{
    // A name the stored form cannot hold would come back as another file: refused, naming it.
    for (const std::string& source : doc.image_paths())
        if (!IsStorable(Absolute(source)) || !IsStorable(Absolute(path))) {
            const std::string& name = IsStorable(Absolute(path)) ? source : path;
            ShowMessage(LoadString(strings::kFailedToSaveDocument) + "\n" + name +
                        ": a backslash in a file or folder name cannot be stored in a project.");
            return false;
        }
    doc.set_project_folder(FolderOfNative(path));
    if (!WriteProjectFile(path, ContentsOf(doc))) {
        ShowMessage(LoadString(strings::kFailedToSaveDocument));
        return false;
    }
    doc.set_path_name(path);
    doc.set_title(FileNameOf(path));
    doc.set_modified(false);
    return true;
}

bool OpenProjectDocument(CMainDoc& doc, WorkflowHost& host, const std::string& path)
{
    // The file is read whole before anything of the open project goes: a file that cannot be opened leaves
    // the user's work as it was.
    ProjectFileContents contents;
    if (!ReadProjectFile(path, contents)) {
        ShowMessage(LoadString(strings::kFailedToOpenDocument), path + ": " + WhyNotAProject(path));
        return false;
    }
    doc.set_project_folder(FolderOfNative(path));
    doc.DeleteContents();
    const std::string folder = ToStoredPath(doc.project_folder());
    std::vector<std::string> paths;
    for (const std::string& stored : contents.stored_paths) paths.push_back(FromStoredPath(MakeAbsolutePath(stored, folder)));

    const bool stitched = contents.state != static_cast<std::int32_t>(StitchState::Unstitched);
    doc.set_stitch_state(static_cast<StitchState>(contents.state));
    {
        const DocumentSlot slot(doc);
        std::unique_ptr<ProgressDialog> dialog = host.MakeProgressDialog(false);
        doc.set_progress_dialog(dialog.get());
        if (!stitched) {
            host.RunWorker(dialog.get(), [&paths] { LoadImagesThread(paths); });
        } else {
            host.RunWorker(dialog.get(), [&paths] { LoadProjectThread(paths); });
            Mosaic* mosaic = doc.mosaic();
            if (mosaic && mosaic->source_count() == static_cast<int>(paths.size()) && doc.image_count() == mosaic->source_count()) {
                RestorePairs(*mosaic, contents.pairs);
                host.RunWorker(dialog.get(), [] { RebuildMosaicThread(); });
                doc.set_stitch_state(StitchState::Stitched);
            } else {
                doc.DeleteMosaic();
                doc.set_stitch_state(StitchState::Unstitched);
            }
        }
        doc.set_progress_dialog(nullptr);
    }
    doc.set_path_name(path);
    doc.set_title(FileNameOf(path));
    doc.set_modified(false);
    if (doc.observer()) doc.observer()->SourceListChanged();
    return true;
}

}  // namespace tp
