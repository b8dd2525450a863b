// One table from command id to what runs it and when it is available. Menus, the tool bar, accelerators,
// the step buttons and context menus all go through Dispatch, so a command behaves the same from anywhere.
#pragma once

#include <functional>
#include <map>

#include <QAction>
#include <QKeySequence>
#include <QObject>

namespace tp {

class CommandTable : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void()>;
    using Predicate = std::function<bool()>;

    explicit CommandTable(QObject* parent = nullptr) : QObject(parent) {}

    // Registers a command; its action carries the menu text, the shortcut, the prompt (status text and
    // tooltip) and the tool-bar picture. `enabled` and `checked` are asked on every update; without them the
    // command is always available and never checked.
    QAction* Add(int id, const QString& menu_text, const QKeySequence& shortcut, Handler run,
                 Predicate enabled = {}, Predicate checked = {});
    QAction* action(int id) const;
    bool contains(int id) const { return entries_.count(id) != 0; }
    std::vector<int> ids() const;

    bool IsEnabled(int id) const;
    // Runs the command when it exists and is available now; returns whether it ran.
    bool Dispatch(int id);
    // Brings every action's enabled and checked state up to date.
    void UpdateAll();

private:
    struct Entry {
        QAction* action = nullptr;
        Handler run;
        Predicate enabled;
        Predicate checked;
    };
    std::map<int, Entry> entries_;
};

}  // namespace tp
