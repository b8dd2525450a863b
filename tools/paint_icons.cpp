// paint-icons: writes the program's painted pictures to files.
//   paint-icons icons DIR    the application icon as DIR/hicolor/NxN/apps/tarnel-plexaro.png
//   paint-icons sheet FILE   a contact sheet of every picture at ratio 1 and 2, for looking at them
// Runs on the offscreen platform unless QT_QPA_PLATFORM names another.
#include <cstdio>

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "ui/artwork.h"
#include "ui/command_ids.h"

namespace {

constexpr int kSheetWidth = 1000;
constexpr int kMargin = 16;
constexpr int kRowWidth = kSheetWidth - 2 * kMargin;
const QColor kLight(0xf0, 0xf0, 0xf0);
const QColor kDark(47, 47, 47);

int WriteIcons(const QString& folder)
{
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString path = QStringLiteral("%1/hicolor/%2x%2/apps").arg(folder).arg(size);
        if (!QDir().mkpath(path) || !tp::ApplicationIconPicture(size).save(path + "/tarnel-plexaro.png")) {
            std::fprintf(stderr, "paint-icons: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}

// Shows a picture pixel for pixel (a ratio-2 picture at twice the size), optionally enlarged without
// smoothing.
QPixmap Pixels(QPixmap picture, int enlarge = 1)
{
    picture.setDevicePixelRatio(1.0);
    if (enlarge > 1) picture = picture.scaled(picture.size() * enlarge, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    return picture;
}

// Lays pictures out in rows down the sheet.
class Sheet {
public:
    Sheet() : image_(kSheetWidth, 6000, QImage::Format_ARGB32), painter_(&image_)
    {
        image_.fill(Qt::white);
        painter_.setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
    }

    void Title(const QString& text)
    {
        y_ += 8;
        painter_.setPen(Qt::black);
        painter_.drawText(kMargin, y_ + 12, text);
        y_ += 18;
    }

    // Pictures side by side on `background`, wrapping onto further lines when the sheet is full.
    void Row(const QList<QPixmap>& pictures, const QColor& background, int gap = 8)
    {
        for (qsizetype first = 0; first < pictures.size();) {
            qsizetype end = first;
            int width = gap;
            int height = 0;
            while (end < pictures.size() && (end == first || width + pictures[end].width() + gap <= kRowWidth)) {
                width += pictures[end].width() + gap;
                height = std::max(height, pictures[end].height());
                ++end;
            }
            painter_.fillRect(kMargin, y_, kRowWidth, height + 2 * gap, background);
            int x = kMargin + gap;
            for (qsizetype i = first; i < end; ++i) {
                painter_.drawPixmap(x, y_ + gap, pictures[i]);
                x += pictures[i].width() + gap;
            }
            y_ += height + 2 * gap;
            first = end;
        }
    }

    bool Save(const QString& path)
    {
        painter_.end();
        return image_.copy(0, 0, kSheetWidth, y_ + kMargin).save(path);
    }

private:
    QImage image_;
    QPainter painter_;
    int y_ = 0;
};

QPixmap WithCaption(const QPixmap& picture, const QString& caption, int enlarge)
{
    QPixmap cell(picture.width() + 20 * enlarge, picture.height() + 22 * enlarge);
    cell.fill(kDark);
    QPainter painter(&cell);
    painter.drawPixmap(10 * enlarge, 5 * enlarge, picture);
    painter.setPen(Qt::white);
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11 * enlarge);
    painter.setFont(font);
    painter.drawText(QRect(0, cell.height() - 17 * enlarge, cell.width(), 17 * enlarge), Qt::AlignCenter, caption);
    return cell;
}

QPixmap CursorSample(const QCursor& cursor, const QColor& background, int enlarge)
{
    QPixmap cell(40 * enlarge, 40 * enlarge);
    cell.fill(background);
    QPainter painter(&cell);
    const QPixmap picture = Pixels(cursor.pixmap(), enlarge);
    painter.drawPixmap(4 * enlarge, 4 * enlarge, picture);
    const QPoint hot = (cursor.hotSpot() + QPoint(4, 4)) * enlarge + QPoint(enlarge / 2, enlarge / 2);
    painter.fillRect(QRect(hot - QPoint(1, 1), QSize(2, 2)), Qt::red);
    return cell;
}

int WriteSheet(const QString& path)
{
    constexpr int kCommands[] = {
        tp::kCmdNewProject,         tp::kCmdOpenProject,       tp::kCmdSaveProject,
        tp::kCmdEditWindowOnly,     tp::kCmdPreviewWindowOnly, tp::kCmdVerticalAlignment,
        tp::kCmdHorizontalAlignment, tp::kCmdShowCroppedImage, tp::kCmdPlanarProjection,
        tp::kCmdCylindricalProjection, tp::kCmdPrint,          tp::kCmdPrintPreview,
        tp::kCmdAbout,              tp::kCmdEditCut,           tp::kCmdEditCopy,
        tp::kCmdEditPaste};
    const QStringList captions = {"Load", "Stitch", "Finalize", "Crop", "Export", "Print"};
    Sheet sheet;
    for (const int ratio : {1, 2}) {
        QList<QPixmap> tools;
        for (const int command : kCommands) tools.append(Pixels(tp::ToolbarPicture(command, ratio)));
        sheet.Title(QStringLiteral("Tool bar, ratio %1").arg(ratio));
        sheet.Row(tools, kLight);
        sheet.Row(tools, Qt::white);
    }
    for (const int ratio : {1, 2}) {
        sheet.Title(QStringLiteral("Step buttons, normal and highlighted, ratio %1").arg(ratio));
        for (const bool highlighted : {false, true}) {
            QList<QPixmap> steps;
            for (int step = 1; step <= 6; ++step) {
                steps.append(WithCaption(Pixels(tp::StepPicture(step, highlighted, ratio)), captions[step - 1], ratio));
            }
            sheet.Row(steps, kDark, 0);
        }
    }
    sheet.Title(QStringLiteral("Background pattern (tiled; enlarged 8 times)"));
    QPixmap tiled(400, 96);
    QPainter(&tiled).fillRect(tiled.rect(), QBrush(tp::BackgroundPattern()));
    sheet.Row({tiled, Pixels(tp::BackgroundPattern(), 8)}, kDark);
    sheet.Title(QStringLiteral("Application icon"));
    QList<QPixmap> icons;
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) icons.append(tp::ApplicationIconPicture(size));
    sheet.Row(icons, kLight);
    sheet.Row(icons, kDark);
    sheet.Title(QStringLiteral("Cursors (open, closed, link) on white, grey and black; enlarged 4 times; "
                               "red = hot spot"));
    for (const int enlarge : {1, 4}) {
        QList<QPixmap> cursors;
        for (const QColor& background : {QColor(Qt::white), kDark, QColor(Qt::black)}) {
            for (const QCursor& cursor : {tp::OpenHandCursor(), tp::ClosedHandCursor(), tp::LinkCursor()}) {
                cursors.append(CursorSample(cursor, background, enlarge));
            }
        }
        sheet.Row(cursors, kLight);
    }
    sheet.Title(QStringLiteral("Splash and About pictures, ratio 1"));
    sheet.Row({tp::SplashPicture(), tp::AboutPicture()}, Qt::white, 0);
    sheet.Title(QStringLiteral("Splash picture, ratio 2"));
    sheet.Row({Pixels(tp::SplashPicture(2))}, Qt::white, 0);
    sheet.Title(QStringLiteral("About picture, ratio 2"));
    sheet.Row({Pixels(tp::AboutPicture(2))}, Qt::white, 0);
    if (!sheet.Save(path)) {
        std::fprintf(stderr, "paint-icons: cannot write %s\n", qPrintable(path));
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    if (arguments.size() == 3 && arguments[1] == QLatin1String("icons")) return WriteIcons(arguments[2]);
    if (arguments.size() == 3 && arguments[1] == QLatin1String("sheet")) return WriteSheet(arguments[2]);
    std::fprintf(stderr, "usage: paint-icons icons DIR | paint-icons sheet FILE.png\n");
    return 2;
}
