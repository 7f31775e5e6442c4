#pragma once

#include "platform/Error.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

// The printers of the system as the print dialog and the print run see them: the ordered names
// of the queues that are not hidden, and an error when there is none.

class ENkPrinter : public EError {
  public:
    using EError::EError;
};

class ENkPrinterNoPrinter : public ENkPrinter {
  public:
    ENkPrinterNoPrinter() : ENkPrinter(QStringLiteral("TNkPrinter.CheckNoPrinter: No Printer")) {}
};

// Attribute bits of one printer, with the meanings the print dialog's printer set has always had.
inline constexpr quint32 NkPrinterAttributeDefault = 0x04;
inline constexpr quint32 NkPrinterAttributeHidden = 0x20;

struct TNkPrinterEntry {
    QString name;
    quint32 attributes = 0;
};

// Where the printer set comes from; tests put a fixed set in its place.
class INkPrinterSource {
  public:
    virtual ~INkPrinterSource() = default;
    // The printers in the printing system's order. Throws ENkPrinter when the system fails.
    virtual std::vector<TNkPrinterEntry> Enumerate() const = 0;
};

// The CUPS queues (the server of CUPS_SERVER or the local one), default queue marked.
std::unique_ptr<INkPrinterSource> CupsPrinterSource();

// One snapshot of the printer set, taken when it is created.
class TNkAllPrintersInfo {
  public:
    explicit TNkAllPrintersInfo(const INkPrinterSource& source);

    int Count() const { return static_cast<int>(printers_.size()); }
    const QString& Name(int i) const { return printers_.at(i).name; }
    quint32 Attributes(int i) const { return printers_.at(i).attributes; }
    // Same number of printers and, position by position, the same names and attributes.
    bool SameAs(const TNkAllPrintersInfo& other) const;

  private:
    std::vector<TNkPrinterEntry> printers_;
};

// The printer information object of the program. CUPS announces no change of its queues to a
// program, so the set is read afresh whenever it is asked for and replaced when it differs.
class TNkPrinter {
  public:
    explicit TNkPrinter(std::unique_ptr<INkPrinterSource> source);
    ~TNkPrinter();

    // Raises ENkPrinterNoPrinter when no printer that is not hidden exists.
    void CheckNoPrinter();
    // Names of the printers that are not hidden, in the printing system's order.
    QStringList GetPrinterNames();
    // Takes a fresh snapshot and keeps it when the set differs from the current one.
    // Returns true when the snapshot was replaced.
    bool RefreshSnapshot();
    const TNkAllPrintersInfo& Snapshot() const { return *snapshot_; }

    // Replaces where the printers come from and takes a snapshot from there (tests).
    void SetSource(std::unique_ptr<INkPrinterSource> source);

  private:
    std::unique_ptr<INkPrinterSource> source_;
    std::unique_ptr<TNkAllPrintersInfo> snapshot_;
};

// The listed name a wanted printer goes by: the same name, else the same name in other letter
// case; empty when none is listed.
QString FindPrinterName(const QStringList& names, const QString& wanted);

// The one printer information object, created on first use; the program touches it before its
// first window so the snapshot exists from the start.
TNkPrinter& NkPrinter();
