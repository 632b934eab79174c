// Quorvel: finds many files at once by name and acts on the hits in bulk.
#include <QApplication>
#include <QCommandLineParser>
#include <QPixmap>
#include <QTimer>

#include <csignal>
#include <clocale>

#include "app/desktop_shell.h"
#include "app/main_window.h"
#include "app/process_arrays.h"

int main(int argc, char **argv)
{
    std::setlocale(LC_ALL, "");
    // A write past the file size limit then fails with EFBIG and is reported like a full
    // disk, instead of ending the program in the middle of a batch.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    QApplication::setApplicationVersion(QStringLiteral("5.3"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Finds many files at once by name and acts on the hits in bulk."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                        QStringLiteral("Save a picture of the window to FILE and quit."),
                                        QStringLiteral("FILE"));
    parser.addOption(screenshot);
    parser.process(app);

    // The arrays live until the window is gone and the loop has ended.
    quorvel::ProcessArrays arrays;
    quorvel::DesktopShell shell;
    int status;
    {
        quorvel::MainWindow window(shell, arrays);
        shell.setOwner(&window);
        window.show();
        if (parser.isSet(screenshot)) {
            QTimer::singleShot(300, &window, [&] {
                const bool saved = window.grab().save(parser.value(screenshot), "PNG");
                QApplication::exit(saved ? 0 : 1);
            });
        }
        status = QApplication::exec();
        shell.setOwner(nullptr);
    }
    return status;
}
