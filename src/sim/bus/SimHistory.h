#pragma once

#include <QList>

// What an emulator keeps of what it received: the newest entries, up to a bound. Tests read back the commands,
// pages or reports of the exchange they drive; a long simulated run (the program in its simulated mode, hours of
// profile applies) keeps only the newest ones instead of growing with every exchange.
//
// Threads: not locked itself; the emulator that owns it guards it with its own lock.
template <typename T>
class SimHistory
{
public:
    // Enough for the longest exchange a test reads back whole (a full-size keyboard's macro records with their
    // reads, every page of a firmware image).
    static constexpr int kDefaultLimit = 4096;

    explicit SimHistory(int limit = kDefaultLimit)
        : m_limit(limit > 0 ? limit : 1)
    {
    }

    void append(const T& entry)
    {
        if (m_entries.size() >= m_limit)
            m_entries.removeFirst();
        m_entries.append(entry);
    }
    SimHistory& operator<<(const T& entry)
    {
        append(entry);
        return *this;
    }

    // Oldest first.
    const QList<T>& entries() const { return m_entries; }
    int size() const { return m_entries.size(); }
    int limit() const { return m_limit; }
    void clear() { m_entries.clear(); }

private:
    int m_limit;
    QList<T> m_entries;
};
