// tarnel-plexaro: the desktop program.
#include <QApplication>

#include "ui/application.h"
#include "ui/artwork.h"

int main(int argc, char* argv[])
{
    QApplication qt(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarnel Plexaro"));
    QApplication::setOrganizationName(QStringLiteral("Quorvel"));
    QApplication::setWindowIcon(tp::ApplicationIcon());
    tp::Application application;
    application.Start(tp::ParseStartOptions(QApplication::arguments().mid(1)));
    return QApplication::exec();
}
