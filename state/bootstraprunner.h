#pragma once

#include "state/appstate.h"
#include "statistics/bootstrap.h"

#include <QFutureWatcher>
#include <QObject>
#include <QTimer>

#include <memory>
#include <optional>

// Runs the bootstrap of the loaded study off the interface thread. One run at a time: a run for
// a study or settings that are no longer the state's is cancelled and its figures thrown away,
// so what reaches the study is always the bootstrap of the study on show.
class BootstrapRunner : public QObject {
    Q_OBJECT
public:
    explicit BootstrapRunner(AppState& state, QObject* parent = nullptr);
    // Cancels a run and waits for its threads, which hold nothing of the state.
    ~BootstrapRunner() override;

    // Makes sure the study gets the bootstrap of the state's settings: nothing when it has it or
    // a run for it is going on; otherwise cancels any other run and starts one.
    void Ensure();
    // Stops the run; the study keeps no figures of it.
    void Cancel();
    bool Running() const { return running_ != nullptr; }
    // The last run was cancelled by the user, not replaced by another.
    bool WasCancelled() const { return cancelled_; }
    // Resamples done and to do in the current run.
    int Done() const;
    int Total() const;
    // Blocks until the current run has ended and its figures are adopted (for the tests and
    // the command line's way of waiting).
    void WaitForFinished();

signals:
    // While a run goes on, a few times a second.
    void progressChanged(int done, int total);
    // A run ended: adopted into the study, or cancelled.
    void finished();

private:
    struct Run {
        int study = 0;
        BootstrapSettings settings;
        std::shared_ptr<BootstrapProgress> progress;
    };
    bool current(const Run& run) const;
    void start();
    void adopt();

    AppState& state_;
    QFutureWatcher<std::optional<BootstrapResult>> watcher_;
    std::unique_ptr<Run> running_;
    bool cancelled_ = false;
    QTimer ticker_;
};

// Whether two bootstrap settings give the same figures: the interval the charts draw is only a
// choice of which figures to show.
bool SameBootstrap(const BootstrapSettings& a, const BootstrapSettings& b);
