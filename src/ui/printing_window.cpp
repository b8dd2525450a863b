#include "ui/printing_window.h"

#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

namespace tp {

PrintingWindow::PrintingWindow(const QString& title, const QPrinter& printer, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Printing"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Printing"), this));
    layout->addWidget(new QLabel(title, this));
    layout->addWidget(new QLabel(QStringLiteral("on the"), this));
    const QString where = printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName() : printer.printerName();
    layout->addWidget(new QLabel(where, this));
    page_ = new QLabel(this);
    layout->addWidget(page_);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    connect(cancel, &QPushButton::clicked, this, [this] { cancelled_ = true; });
    layout->addWidget(cancel, 0, Qt::AlignHCenter);
    setMinimumWidth(260);
}

void PrintingWindow::ShowPage(int page) { page_->setText(QString::asprintf("Page %u", static_cast<unsigned>(page))); }

}  // namespace tp
