#include "fileops/clipboard_list.h"

#include <QPushButton>

#include "app/main_window.h"

namespace quorvel {

ClipboardList::ClipboardList(MainWindow &window) : QObject(&window), m_window(window)
{
    connect(window.按钮_复制到剪贴板, &QPushButton::clicked, this, &ClipboardList::copyCheckedToClipboard);
}

void ClipboardList::copyCheckedToClipboard()
{
    const RowStore &rows = m_window.超级列表框1->rows().rows();
    std::vector<std::string> paths;
    for (std::size_t row = 0; row < rows.size(); ++row) {
        if (rows.isChecked(row))
            paths.emplace_back(rows.cell(row, 0));
    }
    if (paths.empty()) {
        m_window.shell().showMessage("您没有选定任何文件！", "信息：");
        return;
    }
    m_window.shell().putFilesOnClipboard(paths);
    m_window.shell().showMessage("选定的文件已经复制到剪贴板，可以直接进行粘贴！(Ctrl+V)", "信息：");
}

} // namespace quorvel
