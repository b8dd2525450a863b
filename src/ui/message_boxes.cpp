#include "ui/message_boxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>

#include "imaging/fatal_error.h"
#include "ui/gui_thread.h"
#include "ui/ui_strings.h"

namespace tp {

namespace {

QWidget* Front(QWidget* fallback)
{
    if (QWidget* modal = QApplication::activeModalWidget(); modal && modal->isVisible()) return modal;
    return fallback ? fallback : QApplication::activeWindow();
}

void ShowBox(QMessageBox::Icon icon, const QString& caption, const QString& text, const QString& detail,
             QWidget* parent = nullptr)
{
    QMessageBox box(icon, caption, text, QMessageBox::Ok, Front(parent));
    if (!detail.isEmpty()) box.setInformativeText(detail);
    box.exec();
}

}  // namespace

namespace {

// An OK-only information box over the window in front (the main window when none is modal).
void ShowOver(QWidget* main_window, const QString& text, const QString& detail)
{
    ShowBox(QMessageBox::Information, UiText(57344), text, detail, main_window);
}

}  // namespace

void InstallMessageBoxes(QWidget* main_window)
{
    const QPointer<QWidget> main(main_window);
    SetMessageHook([main](const std::string& text) {
        const QString message = QString::fromStdString(text);
        RunOnGuiThread(qApp, [main, message] { ShowOver(main, message, QString()); });
    });
    SetDetailedMessageHook([main](const std::string& text, const std::string& detail) {
        const QString message = QString::fromStdString(text);
        const QString reason = QString::fromStdString(detail);
        RunOnGuiThread(qApp, [main, message, reason] { ShowOver(main, message, reason); });
    });
    SetFatalErrorHook([main](const std::string& text) {
        const QString message = QString::fromStdString(text);
        RunOnGuiThread(qApp, [main, message] {
            ShowBox(QMessageBox::Critical, QString::fromLatin1(kFatalErrorCaption), message, QString(), main);
        });
    });
}

void RemoveMessageBoxes()
{
    SetMessageHook({});
    SetDetailedMessageHook({});
    SetFatalErrorHook({});
}

}  // namespace tp
