#pragma once

#include "batch/BatchOptions.h"

#include <QTextStream>
#include <memory>

// Runs one tavrel-batch request: lists, or prints one stored design on one stored sheet through
// the print run the print dialog uses. Raises EBatch.
class TBatchRun {
  public:
    // Listings go to out; the progress line (when progress is wanted) to err.
    TBatchRun(const BatchOptions& options, QTextStream& out, QTextStream& err, bool progress);
    ~TBatchRun();
    TBatchRun(const TBatchRun&) = delete;
    TBatchRun& operator=(const TBatchRun&) = delete;

    void Execute();

  private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// The whole program after the application object exists: the exit status.
int RunBatch(const QStringList& arguments, QTextStream& out, QTextStream& err, bool progress);
