#pragma once

#include <QList>

// Faults a test arms by number on one kind of transfer ("the third page written fails"): the emulator counts
// each transfer of that kind as it takes it and asks whether that one is armed. Numbers count from 0, from
// the last restart.
//
// Threads: not locked itself; the emulator that owns it guards it with its own lock.
class SimNumberedFaults
{
public:
    // Transfer n, counted from the last restart.
    void arm(int n) { m_numbers.append(n); }
    // Transfer n, counted from the next one (0: the next).
    void armFromNow(int n) { m_numbers.append(m_count + n); }
    // Every transfer from n on, counted from the last restart.
    void armFrom(int n) { m_from = n; }

    // Counts one transfer; true when it is armed.
    bool take()
    {
        const int n = m_count++;
        return m_numbers.contains(n) || (m_from >= 0 && n >= m_from);
    }

    // Drops what is armed; the count goes on.
    void disarm()
    {
        m_numbers.clear();
        m_from = -1;
    }
    // Counts from 0 again; what is armed stays.
    void restart() { m_count = 0; }
    void clear()
    {
        disarm();
        restart();
    }

private:
    int m_count = 0;
    QList<int> m_numbers;
    int m_from = -1;
};
