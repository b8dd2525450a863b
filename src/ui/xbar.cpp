#include "ui/xbar.h"

#include <QApplication>
#include <QMainWindow>
#include <QMouseEvent>
#include <QSettings>
#include <QVBoxLayout>

#include <algorithm>

#include "ui/bar_gripper.h"

namespace tp {

namespace {

// Asks the bar what the hosted window should fill, so that the main window gives a newly docked or floated
// bar the size kept for that placement.
class ContentHost : public QWidget {
public:
    explicit ContentHost(CXBar& bar) : QWidget(&bar), bar_(bar)
    {
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        setAutoFillBackground(true);
        QPalette palette = this->palette();
        palette.setColor(QPalette::Window, QColor(47, 47, 47));
        setPalette(palette);
    }
    QSize sizeHint() const override { return bar_.ContentSizeHint(); }

private:
    CXBar& bar_;
};

struct SizeKeys {
    const char* width;
    const char* height;
};
constexpr SizeKeys kRowKeys{"sizeHorzCX", "sizeHorzCY"};
constexpr SizeKeys kColumnKeys{"sizeVertCX", "sizeVertCY"};
constexpr SizeKeys kFloatingKeys{"sizeFloatCX", "sizeFloatCY"};

int ReadAtLeast(QSettings& settings, const char* key, int current, int minimum)
{
    bool ok = false;
    const int value = settings.value(QLatin1String(key), current).toInt(&ok);
    return std::max(ok ? value : current, minimum);
}

QSize ReadSize(QSettings& settings, SizeKeys keys, QSize current, QSize minimum)
{
    return {ReadAtLeast(settings, keys.width, current.width(), minimum.width()),
            ReadAtLeast(settings, keys.height, current.height(), minimum.height())};
}

void WriteSize(QSettings& settings, SizeKeys keys, QSize size)
{
    settings.setValue(QLatin1String(keys.width), size.width());
    settings.setValue(QLatin1String(keys.height), size.height());
}

}  // namespace

CXBar::CXBar(const QString& text, int control_id, QWidget* parent) : QDockWidget(text, parent), control_id_(control_id)
{
    setObjectName(QStringLiteral("SCBar-%1").arg(control_id));
    gripper_ = new BarGripper(*this);
    host_ = new ContentHost(*this);
    setWidget(host_);
    setTitleBarWidget(gripper_);
    // Queued: both signals come from inside Qt's own docking code, which must finish first.
    connect(this, &QDockWidget::topLevelChanged, this, &CXBar::SyncWithPlacement, Qt::QueuedConnection);
    connect(this, &QDockWidget::dockLocationChanged, this, &CXBar::SyncWithPlacement, Qt::QueuedConnection);
    SyncWithPlacement();
}

CXBar::~CXBar()
{
    if (awaiting_release_) qApp->removeEventFilter(this);
}

void CXBar::SetContent(QWidget* content)
{
    if (content_) {
        host_->layout()->removeWidget(content_);
        content_->deleteLater();
    }
    content_ = content;
    if (content) host_->layout()->addWidget(content);
}

QMainWindow* CXBar::Frame() const { return qobject_cast<QMainWindow*>(parentWidget()); }

CXBar::Placement CXBar::placement() const
{
    if (isFloating()) return Placement::Floating;
    QMainWindow* frame = Frame();
    if (!frame) return Placement::Unplaced;
    switch (frame->dockWidgetArea(const_cast<CXBar*>(this))) {
    case Qt::TopDockWidgetArea:
    case Qt::BottomDockWidgetArea: return Placement::Row;
    case Qt::LeftDockWidgetArea:
    case Qt::RightDockWidgetArea: return Placement::Column;
    default: return Placement::Unplaced;
    }
}

QSize CXBar::MinimumFor(Placement placement)
{
    switch (placement) {
    case Placement::Column: return kMinimumColumn;
    case Placement::Floating: return kMinimumFloating;
    default: return kMinimumRow;
    }
}

QSize* CXBar::SizeFor(Placement placement)
{
    switch (placement) {
    case Placement::Row: return &row_;
    case Placement::Column: return &column_;
    case Placement::Floating: return &floating_;
    default: return nullptr;
    }
}

QSize CXBar::sizeHint() const
{
    switch (placement()) {
    case Placement::Column: return column_;
    case Placement::Floating: return floating_;
    default: return row_;
    }
}

QSize CXBar::ContentSizeHint() const
{
    // Docked, the gripper strip takes its breadth from the kept size.
    switch (placement()) {
    case Placement::Row: return row_ - QSize(BarGripper::kBreadth, 0);
    case Placement::Column: return column_ - QSize(0, BarGripper::kBreadth);
    case Placement::Floating: return floating_;
    default: return row_;
    }
}

void CXBar::SyncWithPlacement()
{
    const Placement now = placement();
    if (now == Placement::Floating && QGuiApplication::mouseButtons() != Qt::NoButton) {
        AwaitButtonRelease();
        return;
    }
    const bool changed = now != synced_;
    synced_ = now;
    if (now == Placement::Floating) {
        setFeatures(features() & ~DockWidgetVerticalTitleBar);
        if (titleBarWidget()) setTitleBarWidget(nullptr);  // the floating window's caption shows our text
    } else {
        // In a row the strip runs down the left side; in a column across the top.
        setFeatures(now == Placement::Row ? features() | DockWidgetVerticalTitleBar
                                          : features() & ~DockWidgetVerticalTitleBar);
        if (titleBarWidget() != gripper_) setTitleBarWidget(gripper_);
    }
    setMinimumSize(MinimumFor(now));
    host_->updateGeometry();
    gripper_->update();
    if (changed && now == Placement::Floating) {
        applying_ = true;
        resize(floating_);
        applying_ = false;
    }
}

void CXBar::AwaitButtonRelease()
{
    if (awaiting_release_) return;
    awaiting_release_ = true;
    qApp->installEventFilter(this);
}

bool CXBar::eventFilter(QObject* watched, QEvent* event)
{
    if (awaiting_release_ && event->type() == QEvent::MouseButtonRelease) {
        awaiting_release_ = false;
        qApp->removeEventFilter(this);
        // After the release has ended Qt's own drag.
        QMetaObject::invokeMethod(this, &CXBar::SyncWithPlacement, Qt::QueuedConnection);
    }
    return QDockWidget::eventFilter(watched, event);
}

void CXBar::resizeEvent(QResizeEvent* event)
{
    QDockWidget::resizeEvent(event);
    // Sizes met while a placement change is under way belong to neither placement.
    const Placement now = placement();
    if (applying_ || now != synced_) return;
    if (QSize* kept = SizeFor(now)) *kept = size().expandedTo(MinimumFor(now));
}

void CXBar::ApplyStoredSize()
{
    SyncWithPlacement();
    QMainWindow* frame = Frame();
    applying_ = true;
    if (synced_ == Placement::Floating)
        resize(floating_);
    else if (frame && synced_ == Placement::Column)
        frame->resizeDocks({this}, {column_.width()}, Qt::Horizontal);
    else if (frame && synced_ == Placement::Row)
        frame->resizeDocks({this}, {row_.height()}, Qt::Vertical);
    applying_ = false;
}

void CXBar::SetDockedThickness(int pixels)
{
    SyncWithPlacement();
    if (synced_ == Placement::Column) column_.setWidth(std::max(pixels, kMinimumColumn.width()));
    if (synced_ == Placement::Row) row_.setHeight(std::max(pixels, kMinimumRow.height()));
    ApplyStoredSize();
}

QString CXBar::SettingsGroup(const QString& name) const
{
    return QStringLiteral("%1-SCBar-%2").arg(name).arg(control_id_);
}

void CXBar::LoadState(QSettings& settings, const QString& name)
{
    settings.beginGroup(SettingsGroup(name));
    row_ = ReadSize(settings, kRowKeys, row_, kMinimumRow);
    column_ = ReadSize(settings, kColumnKeys, column_, kMinimumColumn);
    floating_ = ReadSize(settings, kFloatingKeys, floating_, kMinimumFloating);
    settings.endGroup();
    if (synced_ != Placement::Unplaced) ApplyStoredSize();
}

void CXBar::SaveState(QSettings& settings, const QString& name) const
{
    settings.beginGroup(SettingsGroup(name));
    WriteSize(settings, kRowKeys, row_);
    WriteSize(settings, kColumnKeys, column_);
    WriteSize(settings, kFloatingKeys, floating_);
    settings.endGroup();
}

void CXBar::LoadAll(QMainWindow& frame, QSettings& settings, const QString& name)
{
    for (CXBar* bar : frame.findChildren<CXBar*>()) bar->LoadState(settings, name);
}

void CXBar::SaveAll(const QMainWindow& frame, QSettings& settings, const QString& name)
{
    for (const CXBar* bar : frame.findChildren<CXBar*>()) bar->SaveState(settings, name);
}

}  // namespace tp
