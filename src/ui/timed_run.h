#pragma once
// A counted run driven from a window (a standard's count, a plateau scan): START opens it and arms
// the window's single-shot Timer1 while it counts, each tick asks the run for more, STOP stops it at
// the instrument. `shown` repaints the window; `finished` runs once, when the run no longer counts.
// `Run` has set_link_wait, on_render, start, timer_on, tick and stop (standard_run, plateau_scan).

#include "measurement/run_engine.h"
#include "ui/painting_wait.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>
#include <utility>

namespace xkv {

template <class Run>
class timed_run {
public:
    timed_run(QObject* owner, std::function<void()> shown, std::function<void()> finished)
        : timer_(new QTimer(owner)), shown_(std::move(shown)), finished_(std::move(finished)) {
        timer_->setObjectName("Timer1");
        timer_->setSingleShot(true);
        timer_->setInterval(tick_interval_ms);
        QObject::connect(timer_, &QTimer::timeout, owner, [this] { tick(); });
    }

    Run* run() const { return run_.get(); }
    bool counting() const { return run_ && run_->timer_on(); }

    void start(std::unique_ptr<Run> run) {
        run_ = std::move(run);
        run_->set_link_wait(painting_wait);
        run_->on_render(shown_);
        run_->start();
        if (run_->timer_on())
            timer_->start();
        else
            finish();
        shown_();
    }

    void tick() {
        if (!run_) return;
        if (run_->tick()) {
            timer_->start();
            shown_();
            return;
        }
        finish();
    }

    // STOP: the run ends at the instrument and finishes. `finishing` false only stops it (the window
    // closes: nothing is computed from a count cut short).
    void stop(bool finishing = true) {
        if (!counting()) return;
        timer_->stop();
        run_->stop();
        if (finishing) finish();
    }

private:
    void finish() {
        timer_->stop();
        finished_();
    }

    QTimer* timer_;
    std::function<void()> shown_;
    std::function<void()> finished_;
    std::unique_ptr<Run> run_;
};

} // namespace xkv
