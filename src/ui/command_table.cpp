#include "ui/command_table.h"

#include "ui/artwork.h"
#include "ui/ui_strings.h"

namespace tp {

QAction* CommandTable::Add(int id, const QString& menu_text, const QKeySequence& shortcut, Handler run,
                           Predicate enabled, Predicate checked)
{
    auto* action = new QAction(menu_text, this);
    action->setData(id);
    action->setShortcut(shortcut);
    action->setStatusTip(CommandStatusText(id));
    const QString tooltip = CommandTooltip(id);
    if (!tooltip.isEmpty()) action->setToolTip(tooltip);
    const QPixmap picture = ToolbarPicture(id);
    if (!picture.isNull()) {
        QIcon icon(picture);
        icon.addPixmap(ToolbarPicture(id, 2.0));
        action->setIcon(icon);
        action->setIconVisibleInMenu(false);
    }
    action->setCheckable(static_cast<bool>(checked));
    connect(action, &QAction::triggered, this, [this, id] {
        Dispatch(id);
    });
    entries_[id] = Entry{action, std::move(run), std::move(enabled), std::move(checked)};
    return action;
}

QAction* CommandTable::action(int id) const
{
    const auto it = entries_.find(id);
    return it == entries_.end() ? nullptr : it->second.action;
}

std::vector<int> CommandTable::ids() const
{
    std::vector<int> result;
    for (const auto& [id, entry] : entries_) result.push_back(id);
    return result;
}

bool CommandTable::IsEnabled(int id) const
{
    const auto it = entries_.find(id);
    return it != entries_.end() && (!it->second.enabled || it->second.enabled());
}

bool CommandTable::Dispatch(int id)
{
    if (!IsEnabled(id)) return false;
    // A copy: the handler may rebuild the table's owner (a view switch) while it runs.
    const Handler run = entries_.at(id).run;
    if (run) run();
    UpdateAll();
    return true;
}

void CommandTable::UpdateAll()
{
    for (auto& [id, entry] : entries_) {
        entry.action->setEnabled(!entry.enabled || entry.enabled());
        if (entry.checked) entry.action->setChecked(entry.checked());
    }
}

}  // namespace tp
