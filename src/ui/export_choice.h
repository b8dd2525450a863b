// What the export asks for and what it is told: the file, and the resolution of the current crop, offered with
// the pixel size each choice gives it.
#pragma once

#include <QSize>
#include <QString>

#include "project/output_resolution.h"

class QSettings;

namespace tp {

class WideView;

struct ExportOffer {
    int crop_width = 0;       // the crop rectangle, in working pixels
    int crop_height = 0;
    double full_scale = 1.0;  // the project's FullScale
    OutputResolution last;    // the choice made last time, offered first

    // The crop's pixel size at `resolution`, each side rounded.
    QSize SizeAt(const OutputResolution& resolution) const;
    // Full size is worth offering only when it gives more pixels than the working size.
    bool full_offered() const { return SizeAt(OutputResolution::Full()) != SizeAt(OutputResolution::Working()); }
};

ExportOffer MakeExportOffer(const CMainDoc& doc, const WideView& view, const OutputResolution& last);

// The answer: an empty path when the user cancelled.
struct ExportTarget {
    QString path;
    OutputResolution resolution;
};

// The last choice, kept as "working", "full" or "20MP" under Settings/ExportResolution; working when none is
// stored or it cannot be read.
OutputResolution LoadExportResolution(QSettings& settings);
void SaveExportResolution(QSettings& settings, const OutputResolution& resolution);

}  // namespace tp
