#include "password/Ticker.h"

#include <QTimer>

namespace password {

namespace {

class TimerTicker final : public Ticker {
public:
    TimerTicker(QObject* parent, int interval)
        : Ticker(parent)
        , m_timer(new QTimer(this))
    {
        m_timer->setInterval(interval);
        connect(m_timer, &QTimer::timeout, this, &Ticker::timeout);
    }
    bool isActive() const override { return m_timer->isActive(); }
    void start() override { m_timer->start(); }
    void stop() override { m_timer->stop(); }
    int interval() const override { return m_timer->interval(); }
    void setInterval(int milliseconds) override { m_timer->setInterval(milliseconds); }

private:
    QTimer* m_timer;
};

class SystemClock final : public Clock {
public:
    Ticker* makeTicker(QObject* parent, const QString& name, int interval) override
    {
        auto* ticker = new TimerTicker(parent, interval);
        ticker->setObjectName(name);
        return ticker;
    }
};

} // namespace

Clock& systemClock()
{
    static SystemClock clock;
    return clock;
}

} // namespace password
