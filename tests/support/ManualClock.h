#pragma once
// A clock the test steps: the password window's timers tick only inside advance(), in the order
// their times come due, so one script (or one seed) is one run on any machine, idle or busy.

#include "password/Ticker.h"

#include <algorithm>
#include <vector>

namespace testkit {

class ManualClock final : public password::Clock {
public:
    class Timer final : public password::Ticker {
    public:
        Timer(QObject* parent, ManualClock& clock, int interval)
            : Ticker(parent)
            , m_clock(clock)
            , m_interval(interval)
        {
            m_clock.m_timers.push_back(this);
        }
        ~Timer() override { std::erase(m_clock.m_timers, this); }
        bool isActive() const override { return m_active; }
        void start() override
        {
            m_active = true;
            m_due = m_clock.m_now + std::max(1, m_interval);
        }
        void stop() override { m_active = false; }
        int interval() const override { return m_interval; }
        void setInterval(int milliseconds) override
        {
            m_interval = milliseconds;
            if (m_active)
                start();
        }
        // Milliseconds until the next tick (-1 when off), as QTimer::remainingTime.
        qint64 remaining() const { return m_active ? m_due - m_clock.m_now : -1; }

    private:
        friend class ManualClock;
        ManualClock& m_clock;
        int m_interval;
        bool m_active = false;
        qint64 m_due = 0;
    };

    password::Ticker* makeTicker(QObject* parent, const QString& name, int interval) override
    {
        auto* timer = new Timer(parent, *this, interval);
        timer->setObjectName(name);
        return timer;
    }

    // Time passes: every tick that comes due meanwhile fires, earliest first (timers due at the
    // same moment in the order they were made). Returns the number of ticks.
    int advance(qint64 milliseconds)
    {
        const qint64 until = m_now + milliseconds;
        int ticks = 0;
        for (;;) {
            Timer* next = nullptr;
            for (Timer* timer : m_timers)
                if (timer->m_active && timer->m_due <= until && (!next || timer->m_due < next->m_due))
                    next = timer;
            if (!next)
                break;
            m_now = next->m_due;
            next->m_due = m_now + std::max(1, next->m_interval);
            ++ticks;
            emit next->timeout();
        }
        m_now = until;
        return ticks;
    }

    qint64 now() const { return m_now; }

private:
    std::vector<Timer*> m_timers;
    qint64 m_now = 0;
};

} // namespace testkit
