#include "app/option_settings.h"

#include <QAction>
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>

#include "app/main_window.h"
#include "app/saved_state.h"
#include "settings/program_folder.h"
#include "text/codeset.h"

namespace quorvel {

OptionSettings::OptionSettings(MainWindow &window, SavedState &savedState)
    : QObject(&window), m_window(window), m_savedState(savedState)
{
    MainWindow &w = window;
    connect(w.单选框_整个电脑, &QRadioButton::clicked, this, [this] {
        m_window.单选框_整个电脑->setChecked(true);
        m_window.单选框_指定路径->setChecked(false);
        write(OptionKey::WholeComputer, true);
        m_window.按钮_搜索路径->setEnabled(false);
    });
    connect(w.单选框_指定路径, &QRadioButton::clicked, this, [this] {
        m_window.单选框_整个电脑->setChecked(false);
        m_window.单选框_指定路径->setChecked(true);
        write(OptionKey::WholeComputer, false);
        m_window.按钮_搜索路径->setEnabled(true);
    });
    connect(w.单选框_精确搜索, &QRadioButton::clicked, this, [this] { write(OptionKey::Exact, true); });
    connect(w.单选框_模糊搜索, &QRadioButton::clicked, this, [this] { write(OptionKey::Exact, false); });
    connect(w.选择框1, &QCheckBox::clicked, this, [this](bool on) { write(OptionKey::RenameOnClash, on); });
    connect(w.选择框_搜索目录, &QCheckBox::clicked, this, [this](bool on) { write(OptionKey::FolderNamesOnly, on); });
    connect(w.选择框_保存关键字, &QCheckBox::clicked, this, [this](bool on) { write(OptionKey::SaveKeywords, on); });
    connect(w.选择框_保存路径, &QCheckBox::clicked, this, [this](bool on) { write(OptionKey::SavePaths, on); });
    connect(w.删除按钮开关, &QAction::triggered, this, &OptionSettings::toggleDeleteButton);
    connect(w.移动按钮开关, &QAction::triggered, this, &OptionSettings::toggleMoveButton);
}

void OptionSettings::write(OptionKey key, bool value)
{
    if (ensureProgramFolder().empty())
        writeOption(programFolder(), key, value);
}

void OptionSettings::applyDeleteButtonDisabled(bool disabled)
{
    m_window.按钮4->setEnabled(!disabled);
    m_window.删除按钮开关->setText(QString::fromUtf8(disabled ? "启用删除按钮" : "禁用删除按钮"));
}

void OptionSettings::applyMoveButtonDisabled(bool disabled)
{
    m_window.按钮5->setEnabled(!disabled);
    m_window.移动按钮开关->setText(QString::fromUtf8(disabled ? "启用移动按钮" : "禁用移动按钮"));
}

void OptionSettings::toggleDeleteButton()
{
    const bool disable = m_window.按钮4->isEnabled();
    applyDeleteButtonDisabled(disable);
    write(OptionKey::DisableDeleteButton, disable);
}

void OptionSettings::toggleMoveButton()
{
    const bool disable = m_window.按钮5->isEnabled();
    applyMoveButtonDisabled(disable);
    write(OptionKey::DisableMoveButton, disable);
}

void OptionSettings::restoreOptions()
{
    const std::string folder = programFolder();
    const text::Codeset codeset = text::systemCodeset();
    MainWindow &w = m_window;
    for (OptionKey key : kOptionKeys) {
        const std::string value = readOption(folder, key);
        const bool on = isTrueValue(value, codeset);
        switch (key) {
        case OptionKey::WholeComputer:
            w.单选框_整个电脑->setChecked(on);
            w.单选框_指定路径->setChecked(!on);
            w.按钮_搜索路径->setEnabled(!on);
            break;
        case OptionKey::Exact: {
            const bool exact = selectsExactMatching(value, codeset);
            w.单选框_精确搜索->setChecked(exact);
            w.单选框_模糊搜索->setChecked(!exact);
            break;
        }
        case OptionKey::RenameOnClash:
            w.选择框1->setChecked(on);
            break;
        case OptionKey::FolderNamesOnly:
            w.选择框_搜索目录->setChecked(on);
            break;
        case OptionKey::SaveKeywords:
            if (on)
                m_savedState.loadSavedKeywords();
            w.选择框_保存关键字->setChecked(on);
            break;
        case OptionKey::DisableDeleteButton:
            applyDeleteButtonDisabled(on);
            break;
        case OptionKey::DisableMoveButton:
            applyMoveButtonDisabled(on);
            break;
        case OptionKey::SavePaths:
            if (on)
                m_savedState.loadSavedPaths();
            w.选择框_保存路径->setChecked(on);
            break;
        }
    }
}

} // namespace quorvel
