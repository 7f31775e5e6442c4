#pragma once

#include <QObject>

class QSocketNotifier;

// The requests to end the program that arrive as signals (SIGTERM at log-out, SIGINT, SIGHUP),
// handed to the event loop so that the program can end as a close of its main window would.
class TEndSignals : public QObject {
    Q_OBJECT
  public:
    explicit TEndSignals(QObject* parent = nullptr);
    ~TEndSignals() override;
    TEndSignals(const TEndSignals&) = delete;
    TEndSignals& operator=(const TEndSignals&) = delete;

    // Takes the signals for this object. Call it again once a database is attached: the
    // database engine installs handlers of its own that keep the process running.
    void Install();

  signals:
    void Received(int signal);

  private:
    void ReadPipe();
    int pipe_[2] = {-1, -1};
    QSocketNotifier* notifier_ = nullptr;
};
