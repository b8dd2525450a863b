// The splash window: the program's picture, centred and on top, for 3.5 seconds or until the first key or
// mouse press anywhere in the program (which it takes, so the press does nothing else).
#pragma once

#include <QTimer>
#include <QWidget>

namespace tp {

class SplashWindow final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kShowMilliseconds = 3500;
    SplashWindow();
    ~SplashWindow() override;
    // Hides and deletes the window.
    void Dismiss();

signals:
    void dismissed();

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTimer timer_;
    bool dismissed_ = false;
};

}  // namespace tp
