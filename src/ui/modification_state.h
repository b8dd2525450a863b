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

}  // namespace tp
