// qrx5-cli: the headless command line beside the program. It links the widget-free core
// only, so it runs where there is no display and no window library at all.
#include "cli/CommandLine.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("qrx5-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QRX5_VERSION));
    return CommandLine::run(QCoreApplication::arguments());
}
