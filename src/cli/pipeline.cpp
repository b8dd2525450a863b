#include "cli/pipeline.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>

#include "cli/json_writer.h"
#include "cli/terminal_progress.h"
#include "imaging/fatal_error.h"
#include "imaging/image_file.h"
#include "imaging/parallel.h"
#include "imaging/string_table.h"
#include "project/project_document.h"
#include "project/project_file.h"
#include "project/stored_paths.h"

namespace tp::cli {

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr int kExitPairsDeclined = 3;
constexpr int kExitCancelled = 130;

class TerminalHost final : public WorkflowHost {
public:
    explicit TerminalHost(bool quiet) : quiet_(quiet) {}
    std::unique_ptr<ProgressDialog> MakeProgressDialog(bool cancellable) override
    {
        return std::make_unique<TerminalProgress>(cancellable, quiet_);
    }

private:
    bool quiet_;
};

// Seconds per stage, in the order the stages ran.
class StageClock {
public:
    template <typename Work>
    auto Time(const std::string& stage, Work work)
    {
        const auto start = std::chrono::steady_clock::now();
        auto result = work();
        seconds_.emplace_back(stage, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        return result;
    }
    const std::vector<std::pair<std::string, double>>& seconds() const { return seconds_; }

private:
    std::vector<std::pair<std::string, double>> seconds_;
};

const char* StateName(int state)
{
    switch (state) {
    case 0: return "Stitched";
    case 1: return "Finalized";
    case 2: return "Unstitched";
    default: return "Unknown";
    }
}

void WriteMatrix(JsonWriter& json, const Matrix& h)
{
    json.BeginArray();
    for (int r = 0; r < 3; ++r) {
        json.BeginArray();
        for (int c = 0; c < 3; ++c) json.Number(h[r][c]);
        json.EndArray();
    }
    json.EndArray();
}

const char* VerdictName(PairVerdict verdict)
{
    switch (verdict) {
    case PairVerdict::NotRegistered: return "not registered";
    case PairVerdict::Verified: return "verified";
    case PairVerdict::Unverified: return "unverified";
    case PairVerdict::Declined: return "declined";
    case PairVerdict::Failed: return "failed";
    }
    return "not registered";
}

void WritePoints(JsonWriter& json, const std::array<PointF, 4>& points)
{
    json.BeginArray();
    for (const PointF& p : points) json.BeginArray().Number(p.x).Number(p.y).EndArray();
    json.EndArray();
}

std::string Report(const CMainDoc& doc, const StageClock& clock)
{
    JsonWriter json;
    json.BeginObject();
    json.Key("state").String(StateName(static_cast<int>(doc.stitch_state())));
    const Mosaic* mosaic = doc.mosaic();
    if (mosaic) {
        json.Key("reference").Number(mosaic->reference());
        json.Key("canvas").BeginArray().Number(mosaic->planar().width()).Number(mosaic->planar().height()).EndArray();
        json.Key("focal").Number(mosaic->focal_length());
        // Blue, green and red gain per source, when the last blend compensated exposure.
        if (!mosaic->exposure_gains().empty()) {
            json.Key("exposure_gains").BeginArray();
            for (const ChannelGains& gains : mosaic->exposure_gains()) {
                json.BeginArray();
                for (const double g : gains) json.Number(g);
                json.EndArray();
            }
            json.EndArray();
        }
    }
    json.Key("seconds").BeginObject();
    for (const auto& [stage, s] : clock.seconds()) json.Key(stage).Number(s);
    json.EndObject();
    json.Key("pairs").BeginArray();
    for (int i = 0; mosaic && i + 1 < mosaic->source_count(); ++i) {
        const SourceAlignment& record = mosaic->alignment(i);
        json.BeginObject();
        json.Key("index").Number(i);
        json.Key("registered").Bool(record.has_next == 1);
        json.Key("method").Number(record.method);
        json.Key("verdict").String(VerdictName(record.verdict));
        json.Key("score");
        if (record.verdict != PairVerdict::NotRegistered && record.pair_score > -1.0f)
            json.Number(record.pair_score);
        else
            json.Null();
        json.Key("homography");
        WriteMatrix(json, record.to_next);
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    return json.str() + "\n";
}

bool WriteText(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
    return static_cast<bool>(out.flush());
}

// Finalize, show, crop, export and save: what both commands do once the document holds a stitched mosaic.
// Ctrl+C takes effect at the next step, also between the stages that cannot be cancelled inside (loading a
// project, cropping, exporting).
bool CancelledBetweenStages()
{
    if (!InterruptRequested()) return false;
    std::fprintf(stderr, "Cancelled.\n");
    return true;
}

int FinishPipeline(CMainDoc& doc, TerminalHost& host, const PipelineOptions& options, StageClock& clock)
{
    if (CancelledBetweenStages()) return kExitCancelled;
    if (options.finalize != Finalize::None) {
        const FinalizeMethod method =
            options.finalize == Finalize::Realign ? FinalizeMethod::RealignmentAndAdvancedBlending : FinalizeMethod::AdvancedBlending;
        const bool finalized = clock.Time("finalize", [&] { return FinalizeWideView(doc, host, method); });
        if (!finalized) {
            std::fprintf(stderr, "%s\n", InterruptRequested() ? "Finalization cancelled." : "Finalization failed.");
            return InterruptRequested() ? kExitCancelled : kExitFailure;
        }
    }

    WideView view;
    doc.set_projection_command(options.projection);
    view.Show(doc);
    if (options.crop != Crop::None)
        clock.Time("crop", [&] {
            view.Crop(doc, options.crop == Crop::Inscribed ? CropChoice::Inscribed : CropChoice::Circumscribed);
            return 0;
        });
    if (!view.has_image()) {
        std::fprintf(stderr, "The project holds no wide-view image.\n");
        return kExitFailure;
    }
    if (CancelledBetweenStages()) return kExitCancelled;
    const int exported = clock.Time("export", [&] { return ExportWideView(doc, host, view, options.output, options.resolution); });
    if (exported == kExportCancelled || InterruptRequested()) {
        std::fprintf(stderr, "Cancelled.\n");
        return kExitCancelled;
    }
    if (exported != 0) return kExitFailure;

    if (CancelledBetweenStages()) return kExitCancelled;
    if (!options.project.empty() && !clock.Time("save", [&] { return SaveProjectDocument(doc, options.project); }))
        return kExitFailure;
    if (!options.report.empty() && !WriteText(options.report, Report(doc, clock))) {
        std::fprintf(stderr, "%s: cannot write the report\n", options.report.c_str());
        return kExitFailure;
    }
    return 0;
}

// One line for every pair the automatic method could not verify, naming the files as the user gave them.
// Returns how many there were.
int ReportDeclinedPairs(const CMainDoc& doc, const std::vector<std::string>& inputs)
{
    const Mosaic* mosaic = doc.mosaic();
    int declined = 0;
    for (int i = 0; mosaic && i + 1 < mosaic->source_count() && i + 1 < static_cast<int>(inputs.size()); ++i) {
        if (mosaic->alignment(i).verdict != PairVerdict::Declined) continue;
        std::fprintf(stderr, "%s and %s: not aligned automatically (no alignment the images confirm); align this pair by hand.\n",
                     inputs[static_cast<std::size_t>(i)].c_str(), inputs[static_cast<std::size_t>(i) + 1].c_str());
        ++declined;
    }
    return declined;
}

// Whether two names reach the same file (through links, "..", or relative and absolute spellings).
bool SameFile(const std::string& a, const std::string& b)
{
    std::error_code error;
    if (std::filesystem::equivalent(a, b, error)) return true;
    const auto ca = std::filesystem::weakly_canonical(a, error);
    if (error) return false;
    const auto cb = std::filesystem::weakly_canonical(b, error);
    return !error && ca == cb;
}

// Whether the run would overwrite one of `inputs` with its image or its project; says which when it would.
bool OverwritesAnInput(const PipelineOptions& options, const std::vector<std::string>& inputs)
{
    for (const std::string& input : inputs) {
        if (SameFile(options.output, input)) {
            std::fprintf(stderr, "%s: is one of the inputs; the wide-view image would overwrite it\n", options.output.c_str());
            return true;
        }
        if (!options.project.empty() && SameFile(options.project, input)) {
            std::fprintf(stderr, "%s: is one of the input images; the project would overwrite it\n", options.project.c_str());
            return true;
        }
    }
    return false;
}

// Whether a writer matches the export name; says so when none does, before any work is done.
bool KnownExportFormat(const std::string& output)
{
    if (FormatForFileName(output) != ImageFormat::Unknown) return true;
    std::fprintf(stderr, "%s: %s\n", output.c_str(), LoadString(strings::kUnsupportedFileFormat).c_str());
    return false;
}

std::optional<PipelineOptions> ParseOrComplain(const std::vector<std::string>& args, const char* command)
{
    std::string error;
    std::optional<PipelineOptions> options = ParsePipelineOptions(args, error);
    if (!options)
        std::fprintf(stderr, "%s: %s\n", command, error.c_str());
    else
        SetWorkerThreads(options->threads);
    return options;
}

}  // namespace

int RunStitch(const std::vector<std::string>& args)
{
    const std::optional<PipelineOptions> options = ParseOrComplain(args, "stitch");
    if (!options) return kExitUsage;
    if (options->inputs.size() < 2) {
        std::fprintf(stderr, "stitch: give at least two images\n");
        return kExitUsage;
    }
    if (OverwritesAnInput(*options, options->inputs) || !KnownExportFormat(options->output)) return kExitFailure;
    InstallInterruptHandler();
    TerminalHost host(options->quiet);
    CMainDoc doc;
    doc.NewProject();
    doc.set_exposure_compensation(options->exposure_compensation);
    StageClock clock;
    std::vector<std::string> images;
    for (const std::string& input : options->inputs) images.push_back(std::filesystem::absolute(input).lexically_normal().string());
    clock.Time("load", [&] {
        LoadSourceImages(doc, host, images);
        return 0;
    });
    if (doc.image_count() != static_cast<int>(options->inputs.size())) return kExitFailure;
    const StitchOutcome stitched = clock.Time("stitch", [&] { return StitchSourceImages(doc, host, StitchMethod::Automatic); });
    if (stitched.cancelled) {
        std::fprintf(stderr, "Stitching cancelled.\n");
        return kExitCancelled;
    }
    if (!stitched.show_result || !doc.HasWideView()) {
        std::fprintf(stderr, "Stitching failed.\n");
        return kExitFailure;
    }
    const int declined = ReportDeclinedPairs(doc, options->inputs);
    const int finished = FinishPipeline(doc, host, *options, clock);
    return finished == 0 && declined > 0 ? kExitPairsDeclined : finished;
}

int RunOpen(const std::vector<std::string>& args)
{
    const std::optional<PipelineOptions> options = ParseOrComplain(args, "open");
    if (!options) return kExitUsage;
    if (options->inputs.size() != 1) {
        std::fprintf(stderr, "open: give one project file\n");
        return kExitUsage;
    }
    InstallInterruptHandler();
    TerminalHost host(options->quiet);
    CMainDoc doc;
    doc.NewProject();
    doc.set_exposure_compensation(options->exposure_compensation);
    StageClock clock;
    if (SameFile(options->output, options->inputs.front())) {
        std::fprintf(stderr, "%s: is the project being opened; the wide-view image would overwrite it\n", options->output.c_str());
        return kExitFailure;
    }
    if (!KnownExportFormat(options->output)) return kExitFailure;
    if (!clock.Time("open", [&] { return OpenProjectDocument(doc, host, options->inputs.front()); })) return kExitFailure;
    if (CancelledBetweenStages()) return kExitCancelled;
    // The project's own sources are inputs too.
    if (OverwritesAnInput(*options, doc.image_paths())) return kExitFailure;
    if (!doc.HasWideView()) {
        // An unstitched project has nothing to export; that is only an error when an output was asked for.
        if (!options->output_given && options->project.empty() && options->report.empty()) return 0;
        std::fprintf(stderr, "The project holds no wide-view image.\n");
        return kExitFailure;
    }
    return FinishPipeline(doc, host, *options, clock);
}

int RunInfo(const std::vector<std::string>& args)
{
    if (args.size() != 1) {
        std::fprintf(stderr, "info: give one project file\n");
        return kExitUsage;
    }
    const std::string& path = args.front();
    ProjectFileContents contents;
    if (!ReadProjectFile(path, contents)) {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), LoadString(strings::kFailedToOpenDocument).c_str());
        return kExitFailure;
    }
    const std::string folder = ToStoredPath(FolderOf(std::filesystem::absolute(path).lexically_normal().string(), '/'));
    JsonWriter json;
    json.BeginObject();
    json.Key("state").String(StateName(contents.state));
    json.Key("paths").BeginArray();
    for (const std::string& stored : contents.stored_paths) json.String(FromStoredPath(MakeAbsolutePath(stored, folder)));
    json.EndArray();
    json.Key("stored_paths").BeginArray();
    for (const std::string& stored : contents.stored_paths) json.String(stored);
    json.EndArray();
    json.Key("pairs").BeginArray();
    for (std::size_t i = 0; i < contents.pairs.size(); ++i) {
        const StoredPair& pair = contents.pairs[i];
        json.BeginObject();
        json.Key("index").Number(static_cast<double>(i));
        json.Key("method").Number(pair.method);
        json.Key("translation").BeginArray().Number(pair.translation_hint.x).Number(pair.translation_hint.y).EndArray();
        json.Key("first_points");
        WritePoints(json, pair.first_points);
        json.Key("second_points");
        WritePoints(json, pair.second_points);
        json.Key("homography");
        WriteMatrix(json, pair.to_next);
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    std::printf("%s\n", json.str().c_str());
    return 0;
}

}  // namespace tp::cli
