// Seconds per stage of the engine on real photo sets: registration (with the geometry), basic blending,
// cylindrical re-projection, advanced blending, and re-alignment followed by advanced blending.
//
//   stage_bench [--runs N] SET_DIR...      (median of N runs, default 3; one line per set, then JSON lines)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "compositing/mosaic.h"
#include "imaging/image_ops.h"

namespace {

using Clock = std::chrono::steady_clock;

template <typename Work>
double Seconds(Work work)
{
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

struct StageTimes {
    std::vector<double> load, register_all, basic, cylindrical, advanced, realign;
};

void RunOnce(const std::vector<std::string>& paths, StageTimes& t)
{
    tp::NullProgress progress;
    tp::ColorImage first;
    std::unique_ptr<tp::Mosaic> mosaic;
    t.load.push_back(Seconds([&] {
        tp::LoadFitted(first, paths.front(), tp::kWorkingBound, tp::kWorkingBound);
        mosaic = std::make_unique<tp::Mosaic>(tp::MakeMosaicParameters(first.width(), first.height(), static_cast<int>(paths.size())), paths);
    }));
    t.register_all.push_back(Seconds([&] { mosaic->RegisterAll(progress); }));
    const tp::Mosaic registered = *mosaic;
    t.basic.push_back(Seconds([&] { mosaic->BasicBlend(progress); }));
    t.cylindrical.push_back(Seconds([&] { mosaic->ProjectCylindrical(); }));
    t.advanced.push_back(Seconds([&] { mosaic->Blend(tp::BlendType::Advanced, progress); }));
    tp::Mosaic realigned = registered;
    t.realign.push_back(Seconds([&] {
        realigned.Realign(progress);
        realigned.Blend(tp::BlendType::Advanced, progress);
    }));
}

}  // namespace

int main(int argc, char** argv)
{
    int runs = 3;
    std::vector<std::string> sets;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--runs" && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else
            sets.push_back(a);
    }
    if (sets.empty()) {
        std::fprintf(stderr, "usage: stage_bench [--runs N] SET_DIR...\n");
        return 2;
    }
    std::printf("%-20s %3s %8s %8s %8s %8s %8s %10s\n", "set", "n", "load", "register", "basic", "cylinder", "advanced",
                "realign+adv");
    std::string json;
    for (const std::string& set : sets) {
        std::vector<std::string> paths;
        for (const auto& entry : std::filesystem::directory_iterator(set))
            if (entry.is_regular_file()) paths.push_back(entry.path().string());
        std::sort(paths.begin(), paths.end());
        if (paths.size() < 2) continue;
        StageTimes t;
        for (int r = 0; r < runs; ++r) RunOnce(paths, t);
        const std::string name = std::filesystem::path(set).filename().empty() ? std::filesystem::path(set).parent_path().filename().string()
                                                                                : std::filesystem::path(set).filename().string();
        std::printf("%-20s %3zu %8.3f %8.3f %8.3f %8.3f %8.3f %10.3f\n", name.c_str(), paths.size(), Median(t.load),
                    Median(t.register_all), Median(t.basic), Median(t.cylindrical), Median(t.advanced), Median(t.realign));
        char line[512];
        std::snprintf(line, sizeof line,
                      "{\"set\": \"%s\", \"n\": %zu, \"load_s\": %.4f, \"register_s\": %.4f, \"basic_s\": %.4f, "
                      "\"cylindrical_s\": %.4f, \"advanced_s\": %.4f, \"realign_advanced_s\": %.4f}\n",
                      name.c_str(), paths.size(), Median(t.load), Median(t.register_all), Median(t.basic), Median(t.cylindrical),
                      Median(t.advanced), Median(t.realign));
        json += line;
        std::fflush(stdout);
    }
    std::printf("%s", json.c_str());
    return 0;
}
