// A docking bar that keeps one size per placement: lying in a row (docked at the top or bottom), standing
// in a column (docked at the left or right) and floating. The size of the current placement follows the
// user's resizing, never below that placement's minimum, and is restored when the bar returns to that
// placement; the sizes persist in the settings. Docked, its title is a gripper strip with a close button;
// floating, the floating window's own caption shows the bar's text.
#pragma once

#include <QDockWidget>
#include <QSize>
#include <QString>

class QMainWindow;
class QSettings;

namespace tp {

class BarGripper;

class CXBar : public QDockWidget {
    Q_OBJECT

public:
    enum class Placement { Row, Column, Floating, Unplaced };

    static constexpr QSize kMinimumRow{150, 149};
    static constexpr QSize kMinimumColumn{150, 149};
    static constexpr QSize kMinimumFloating{150, 145};
    static constexpr QSize kDefaultSize{200, 200};

    CXBar(const QString& text, int control_id, QWidget* parent = nullptr);
    ~CXBar() override;

    int control_id() const { return control_id_; }

    // The one window the bar hosts; it fills what the gripper leaves. The bar takes ownership.
    void SetContent(QWidget* content);
    QWidget* content() const { return content_; }

    Placement placement() const;
    static QSize MinimumFor(Placement placement);
    QSize row_size() const { return row_; }
    QSize column_size() const { return column_; }
    QSize floating_size() const { return floating_; }

    // Settings group "<name>-SCBar-<control id>", integer keys sizeHorzCX/CY, sizeVertCX/CY, sizeFloatCX/CY.
    // A missing value keeps the current size; one below its minimum loads as the minimum.
    void LoadState(QSettings& settings, const QString& name);
    void SaveState(QSettings& settings, const QString& name) const;
    QString SettingsGroup(const QString& name) const;
    static void LoadAll(QMainWindow& frame, QSettings& settings, const QString& name);
    static void SaveAll(const QMainWindow& frame, QSettings& settings, const QString& name);

    // Gives the bar the size kept for where it is now: its thickness when docked, its size when floating.
    // The frame calls this right after docking the bar.
    void ApplyStoredSize();
    // Sets the docked thickness (width in a column, height in a row), raised to the minimum, and applies it.
    void SetDockedThickness(int pixels);

    QSize sizeHint() const override;
    // What the hosted window is asked to fill for the current placement.
    QSize ContentSizeHint() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Brings title strip, minimum size and floating size in line with where the bar now is. Docking changes
    // are followed once Qt has finished them, and a bar torn off with the mouse becomes a floating window
    // only when the button is released, so that the title is never swapped in the middle of a drag.
    void SyncWithPlacement();
    void AwaitButtonRelease();
    QSize* SizeFor(Placement placement);
    QMainWindow* Frame() const;

    const int control_id_;
    QSize row_ = kDefaultSize;
    QSize column_ = kDefaultSize;
    QSize floating_ = kDefaultSize;
    Placement synced_ = Placement::Unplaced;  // placement the title and sizes were last brought in line with
    BarGripper* gripper_ = nullptr;           // child of the bar, also while the floating caption replaces it
    QWidget* host_ = nullptr;
    QWidget* content_ = nullptr;
    bool applying_ = false;  // our own resize, not the user's
    bool awaiting_release_ = false;
};

}  // namespace tp
