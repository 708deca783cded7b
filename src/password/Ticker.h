#pragma once
// The password window's two timers, behind a seam: in the program each is a QTimer; tests give
// the window a clock they step, so a tick comes exactly when the test says and never because
// the wall clock moved on a busy machine.

#include <QObject>
#include <QString>

namespace password {

// A repeating timer as the password window uses it, with QTimer's meaning for every call.
class Ticker : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    virtual bool isActive() const = 0;
    virtual void start() = 0; // (re)starts: the next tick one interval from now
    virtual void stop() = 0;
    virtual int interval() const = 0;
    virtual void setInterval(int milliseconds) = 0; // a running timer counts anew from now

signals:
    void timeout();
};

// Makes the timers; they belong to parent.
class Clock {
public:
    virtual ~Clock() = default;
    virtual Ticker* makeTicker(QObject* parent, const QString& name, int interval) = 0;
};

// Timers driven by the wall clock: QTimer.
Clock& systemClock();

} // namespace password
