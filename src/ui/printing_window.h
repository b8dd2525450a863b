// The modeless window shown while a job prints: what, where, which page, and a Cancel that aborts it.
#pragma once

#include <QDialog>

class QLabel;
class QPrinter;

namespace tp {

class PrintingWindow final : public QDialog {
    Q_OBJECT
public:
    PrintingWindow(const QString& title, const QPrinter& printer, QWidget* parent);
    // "Page %u".
    void ShowPage(int page);
    bool cancelled() const { return cancelled_; }

private:
    QLabel* page_ = nullptr;
    bool cancelled_ = false;
};

}  // namespace tp
