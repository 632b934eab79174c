// Drives the real window offscreen: puts a keyword file into the keyword box, one root into
// the folder list, clicks 按钮_立即搜索 and times the search until its final status text,
// rows shown in the list included. While it runs, a 5 ms timer measures how long the window
// thread can go without handling an event (the window's answer time). With --stop-after MS
// it clicks 按钮_停止搜索 after MS milliseconds and measures how long the search takes to
// end. Prints per run: seconds, rows, longest event gap in ms, stop time in ms (or -).
//
//   window_search_bench ROOT KEYWORD_FILE [--fuzzy] [--folders] [--runs N] [--stop-after MS]
//                       [--screenshot PNG]
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPushButton>
#include <QRadioButton>
#include <QCheckBox>
#include <QLabel>
#include <QTimer>

#include <algorithm>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/main_window.h"
#include "roots/path_list.h"
#include "search/search_request.h"
#include "settings/whole_file.h"

namespace {

// Dialogs never open in a benchmark.
class SilentShell : public quorvel::ShellServices
{
  public:
    void showMessage(const std::string &text, const std::string &) override
    {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
    bool askOkCancel(const std::string &, const std::string &) override { return false; }
    std::string chooseFolder(const std::string &) override { return {}; }
    void openPath(const std::string &) override {}
    void showInFolder(const std::string &) override {}
    void putFilesOnClipboard(const std::vector<std::string> &) override {}
};

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s ROOT KEYWORD_FILE [--fuzzy] [--runs N]\n", argv[0]);
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    const std::string root = argv[1];
    const auto keywords = quorvel::readWholeFile(argv[2]);
    if (!keywords) {
        std::fprintf(stderr, "cannot read %s\n", argv[2]);
        return 2;
    }
    bool fuzzy = false;
    bool folders = false;
    int runs = 3;
    int stopAfter = -1;
    const char *screenshot = nullptr;
    for (int i = 3; i < argc; ++i) {
        if (std::strcmp(argv[i], "--fuzzy") == 0)
            fuzzy = true;
        else if (std::strcmp(argv[i], "--folders") == 0)
            folders = true;
        else if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc)
            runs = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--stop-after") == 0 && i + 1 < argc)
            stopAfter = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--screenshot") == 0 && i + 1 < argc)
            screenshot = argv[++i];
    }

    SilentShell shell;
    quorvel::ProcessArrays arrays;
    quorvel::MainWindow window(shell, arrays);
    window.show();
    window.pathList->addSearchPathRow(root);
    (fuzzy ? window.单选框_模糊搜索 : window.单选框_精确搜索)->setChecked(true);
    window.选择框_搜索目录->setChecked(folders);
    for (int run = 0; run < runs; ++run) {
        window.setKeywordText(*keywords);
        window.透明标签1->hide(); // as the user's click into the box does
        QEventLoop loop;
        QObject::connect(window.searchRequest, &quorvel::SearchRequest::searchFinished, &loop, &QEventLoop::quit);
        QElapsedTimer timer, tick;
        qint64 longestGap = 0, stopClicked = -1;
        QTimer probe;
        probe.setInterval(5);
        QObject::connect(&probe, &QTimer::timeout, [&] {
            longestGap = std::max(longestGap, tick.restart());
            if (stopAfter >= 0 && stopClicked < 0 && timer.elapsed() >= stopAfter) {
                stopClicked = timer.elapsed();
                window.按钮_停止搜索->click();
            }
        });
        timer.start();
        window.按钮_立即搜索->click();
        tick.start();
        probe.start();
        if (window.searchRequest->isRunning())
            loop.exec();
        probe.stop();
        const qint64 total = timer.elapsed();
        std::printf("%.4f %d %lld %s\n", timer.nsecsElapsed() / 1e9, window.超级列表框1->rowCount(),
                    static_cast<long long>(longestGap),
                    stopClicked >= 0 ? std::to_string(total - stopClicked).c_str() : "-");
        std::fflush(stdout);
    }
    if (screenshot) {
        window.超级列表框1->selectRow(1);
        window.超级列表框1->rows().setRowChecked(0, true);
        window.超级列表框1->rows().setRowChecked(1, true);
        QCoreApplication::processEvents();
        if (!window.grab().save(QString::fromLocal8Bit(screenshot), "PNG"))
            return 1;
    }
    return 0;
}
