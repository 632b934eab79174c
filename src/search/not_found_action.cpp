#include "search/not_found_action.h"

#include <QPushButton>

#include "app/main_window.h"
#include "search/not_found_report.h"
#include "settings/program_folder.h"
#include "settings/whole_file.h"
#include "text/codeset.h"

namespace quorvel {

NotFoundAction::NotFoundAction(MainWindow &window) : QObject(&window), m_window(window)
{
    connect(window.按钮_未搜索到文件, &QPushButton::clicked, this, &NotFoundAction::writeNotFoundReport);
}

void NotFoundAction::writeNotFoundReport()
{
    const RowStore &rows = m_window.超级列表框1->rows().rows();
    const std::string report = buildNotFoundReport(
        m_window.keywordText(), rows.size(), [&rows](std::size_t row) { return rows.cell(row, 0); },
        text::systemCodeset());
    const std::string path = fileInFolder(programFolder(), "未搜到文件列表.txt");
    std::string error = ensureProgramFolder();
    if (error.empty())
        error = writeWholeFileAtomically(path, report);
    if (!error.empty()) {
        // Opening an older report would pass it off as this search's.
        m_window.shell().showMessage("无法写入未搜到文件列表：" + path + "\n" + error, "信息：");
        return;
    }
    m_window.shell().openPath(path);
}

} // namespace quorvel
