#include "editor/commands/commandregistry.h"

namespace tw {

bool CommandRegistry::add(Command command)
{
    if (command.id.isEmpty() || !command.run || m_byId.contains(command.id)
        || (!command.contextId.isEmpty() && m_byId.contains(command.contextId)))
        return false;
    const QString key = command.toolBar + QLatin1Char('/') + command.toolKey;
    if (!command.toolKey.isEmpty() && m_byKey.contains(key))
        return false;
    const qsizetype index = m_commands.size();
    m_byId.insert(command.id, index);
    if (!command.contextId.isEmpty())
        m_byId.insert(command.contextId, index);
    if (!command.toolKey.isEmpty())
        m_byKey.insert(key, index);
    m_commands.append(std::move(command));
    return true;
}

const Command* CommandRegistry::find(const QString& id) const
{
    const auto it = m_byId.constFind(id);
    return it == m_byId.constEnd() ? nullptr : &m_commands[*it];
}

const Command* CommandRegistry::findToolKey(const QString& bar, const QString& key) const
{
    // Keys are compared exactly, case and all.
    const auto it = m_byKey.constFind(bar + QLatin1Char('/') + key);
    return it == m_byKey.constEnd() ? nullptr : &m_commands[*it];
}

bool CommandRegistry::run(const QString& id) const
{
    const Command* c = find(id);
    if (!c)
        return false;
    if (c->enabled && !c->enabled())
        return true;  // a disabled entry does nothing, as its greyed item would
    c->run();
    return true;
}

bool CommandRegistry::isEnabled(const QString& id) const
{
    const Command* c = find(id);
    return c && (!c->enabled || c->enabled());
}

}  // namespace tw
