#include "state/bootstraprunner.h"

#include <QtConcurrent/QtConcurrentRun>

bool SameBootstrap(const BootstrapSettings& a, const BootstrapSettings& b) {
    return a.replicates == b.replicates && a.seed == b.seed && a.level == b.level &&
           a.kind == b.kind;
}

BootstrapRunner::BootstrapRunner(AppState& state, QObject* parent)
    : QObject(parent)
    , state_(state) {
    connect(&watcher_, &QFutureWatcherBase::finished, this, [this] { adopt(); });
    ticker_.setInterval(100);
    connect(&ticker_, &QTimer::timeout, this, [this] { emit progressChanged(Done(), Total()); });
}

BootstrapRunner::~BootstrapRunner() {
    if (running_)
        running_->progress->cancelled = true;
    watcher_.waitForFinished();
}

bool BootstrapRunner::current(const Run& run) const {
    return run.study == state_.studiesComputed &&
           SameBootstrap(run.settings, state_.settings.bootstrap);
}

void BootstrapRunner::Ensure() {
    Study& study = state_.study;
    if (study.bootstrap && SameBootstrap(study.bootstrap->settings, state_.settings.bootstrap)) {
        // Only the interval to draw may differ: that needs no run.
        study.bootstrap->settings.interval = state_.settings.bootstrap.interval;
        return;
    }
    if (running_ && current(*running_))
        return;
    study.bootstrap.reset();
    if (running_) {
        // The old run ends on its own; adopt() then starts the one wanted.
        running_->progress->cancelled = true;
        cancelled_ = false;
        return;
    }
    start();
}

void BootstrapRunner::start() {
    cancelled_ = false;
    if (state_.study.series.recordCount <= 0)
        return;
    running_ = std::make_unique<Run>(Run{state_.studiesComputed, state_.settings.bootstrap,
                                         std::make_shared<BootstrapProgress>()});
    running_->progress->total = state_.settings.bootstrap.replicates;
    BootstrapInput input = BootstrapInputOf(state_.study);
    const BootstrapSettings settings = running_->settings;
    const std::shared_ptr<BootstrapProgress> progress = running_->progress;
    watcher_.setFuture(QtConcurrent::run([input = std::move(input), settings, progress] {
        return ComputeBootstrap(input, settings, progress.get());
    }));
    ticker_.start();
    emit progressChanged(0, Total());
}

void BootstrapRunner::Cancel() {
    if (!running_)
        return;
    running_->progress->cancelled = true;
    cancelled_ = true;
}

int BootstrapRunner::Done() const {
    return running_ ? running_->progress->done.load() : 0;
}

int BootstrapRunner::Total() const {
    return running_ ? running_->progress->total.load() : 0;
}

void BootstrapRunner::WaitForFinished() {
    while (running_) {
        watcher_.waitForFinished();
        adopt();
    }
}

void BootstrapRunner::adopt() {
    if (!running_)
        return;
    ticker_.stop();
    std::optional<BootstrapResult> result = watcher_.future().result();
    const bool userCancelled = cancelled_;
    const bool wanted = current(*running_);
    running_.reset();
    if (result && wanted) {
        result->settings.interval = state_.settings.bootstrap.interval;
        AdoptBootstrap(state_.study, std::move(*result));
    } else if (!userCancelled) {
        // Replaced by a newer study or settings: the next run starts at once.
        start();
        return;
    }
    cancelled_ = userCancelled;
    emit finished();
}
