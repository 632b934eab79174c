#include "app/saved_state.h"

#include <QCheckBox>
#include <QLabel>

#include "app/main_window.h"
#include "settings/program_folder.h"
#include "settings/saved_keywords.h"
#include "settings/saved_paths.h"

namespace quorvel {

SavedState::SavedState(MainWindow &window) : QObject(&window), m_window(window) {}

void SavedState::loadSavedKeywords()
{
    m_window.setKeywordText(readSavedKeywords(programFolder()));
    m_window.透明标签1->hide();
}

void SavedState::loadSavedPaths()
{
    CheckListView *list = m_window.超级列表框_路径;
    for (const SavedPathRow &row : readSavedPaths(programFolder())) {
        const int index = list->insertRow(-1, row.path);
        list->setRowChecked(index, row.checked);
    }
}

void SavedState::saveKeywordsAndPaths()
{
    const bool paths = m_window.选择框_保存路径->isChecked();
    const bool keywords = m_window.选择框_保存关键字->isChecked();
    if ((!paths && !keywords) || !ensureProgramFolder().empty())
        return;
    const std::string folder = programFolder();
    if (paths) {
        std::vector<SavedPathRow> rows;
        CheckListView *list = m_window.超级列表框_路径;
        for (int row = 0; row < list->rowCount(); ++row)
            rows.push_back({list->cellText(row, 0), list->isRowChecked(row)});
        writeSavedPaths(folder, rows);
    }
    if (keywords)
        writeSavedKeywords(folder, m_window.keywordText());
}

} // namespace quorvel
