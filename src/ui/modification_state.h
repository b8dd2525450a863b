// What the modification mode reads off the document's edit state: whether every pair has been set (so the
// edits can be applied and previewed), and the status text of a pair.
#pragma once

#include <QString>

#include "project/main_doc.h"

namespace tp {

// True when every pair's edit record has a mode (also when there are no pairs).
inline bool PreviewAvailable(const CMainDoc& doc)
{
    for (const PairEdit& edit : doc.pair_edits())
        if (edit.mode == -1) return false;
    return true;
}

// "Modified: <mode>", "Unset" or "Set: <mode>" for one pair's edit record.
inline QString PairStatusText(const PairEdit& edit)
{
    const auto mode_name = [](int mode) {
        switch (mode) {
            case 0: return QStringLiteral("Automatic Mode");
            case 1: return QStringLiteral("Translation Mode");
            case 2: return QStringLiteral("Four Points Mode");
            default: return QString();
        }
    };
    if (edit.modified) return QStringLiteral("Modified: ") + mode_name(edit.mode);
    if (edit.mode == -1) return QStringLiteral("Unset");
    return QStringLiteral("Set: ") + mode_name(edit.mode);
}

// Why a pair needs the user's eye: declined or failed by the automatic registration, or registered from a hint
// the images do not confirm. Empty when the pair is fine or was never measured (frame k shows pair k - 1).
inline QString PairDoubt(const CMainDoc& doc, int frame)
{
    const Mosaic* mosaic = doc.mosaic();
    if (!mosaic || frame < 1 || frame >= mosaic->source_count()) return QString();
    const SourceAlignment& record = mosaic->alignment(frame - 1);
    switch (record.verdict) {
        case PairVerdict::Declined: return QStringLiteral("not aligned automatically");
        case PairVerdict::Failed: return QStringLiteral("not aligned");
        case PairVerdict::Unverified: return QStringLiteral("low score %1").arg(record.pair_score, 0, 'f', 2);
        default: return QString();
    }
}

// The frame the modification mode opens at: the first pair in doubt, else frame 1.
inline int FirstFrameToCheck(const CMainDoc& doc)
{
    for (int k = 1; k < doc.image_count(); ++k)
        if (!PairDoubt(doc, k).isEmpty()) return k;
    return 1;
}

}  // namespace tp
