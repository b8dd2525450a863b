#include "ui/export_choice.h"

#include <cmath>

#include <QSettings>

#include "project/wide_view.h"

namespace tp {

namespace {
const QString kExportResolutionKey = QStringLiteral("Settings/ExportResolution");
}  // namespace

QSize ExportOffer::SizeAt(const OutputResolution& resolution) const
{
    const double scale = OutputScale(full_scale, resolution, crop_width, crop_height);
    return QSize(static_cast<int>(std::lround(crop_width * scale)), static_cast<int>(std::lround(crop_height * scale)));
}

ExportOffer MakeExportOffer(const CMainDoc& doc, const WideView& view, const OutputResolution& last)
{
    return ExportOffer{view.crop_width(), view.crop_height(), FullScale(doc), last};
}

OutputResolution LoadExportResolution(QSettings& settings)
{
    const std::optional<OutputResolution> stored =
        ParseOutputResolution(settings.value(kExportResolutionKey).toString().toStdString());
    return stored.value_or(OutputResolution::Working());
}

void SaveExportResolution(QSettings& settings, const OutputResolution& resolution)
{
    settings.setValue(kExportResolutionKey, QString::fromStdString(FormatOutputResolution(resolution)));
}

}  // namespace tp
