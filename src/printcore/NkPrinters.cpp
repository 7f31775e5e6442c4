#include "printcore/NkPrinters.h"

#include <cups/cups.h>

namespace {

// The queues of the CUPS server. A saved option set of a queue (an instance, "queue/name") is
// not a printer of its own and is left out; a scheduler that cannot be reached has no queues.
class CupsSource : public INkPrinterSource {
  public:
    std::vector<TNkPrinterEntry> Enumerate() const override {
        cups_dest_t* dests = nullptr;
        const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
        std::vector<TNkPrinterEntry> printers;
        QString defaultQueue;
        for (int i = 0; i < count; ++i) {
            const QString name = QString::fromUtf8(dests[i].name);
            if (dests[i].is_default)
                defaultQueue = name;
            if (!dests[i].instance)
                printers.push_back({name, 0});
        }
        cupsFreeDests(count, dests);
        for (TNkPrinterEntry& printer : printers) {
            if (printer.name == defaultQueue)
                printer.attributes |= NkPrinterAttributeDefault;
        }
        return printers;
    }
};

bool Hidden(quint32 attributes) {
    return (attributes & NkPrinterAttributeHidden) != 0;
}

} // namespace

std::unique_ptr<INkPrinterSource> CupsPrinterSource() {
    return std::make_unique<CupsSource>();
}

TNkAllPrintersInfo::TNkAllPrintersInfo(const INkPrinterSource& source)
    : printers_(source.Enumerate()) {}

bool TNkAllPrintersInfo::SameAs(const TNkAllPrintersInfo& other) const {
    if (Count() != other.Count())
        return false;
    for (int i = 0; i < Count(); ++i) {
        if (Name(i) != other.Name(i) || Attributes(i) != other.Attributes(i))
            return false;
    }
    return true;
}

TNkPrinter::TNkPrinter(std::unique_ptr<INkPrinterSource> source) {
    SetSource(std::move(source));
}

TNkPrinter::~TNkPrinter() = default;

void TNkPrinter::SetSource(std::unique_ptr<INkPrinterSource> source) {
    source_ = std::move(source);
    snapshot_ = std::make_unique<TNkAllPrintersInfo>(*source_);
}

bool TNkPrinter::RefreshSnapshot() {
    auto fresh = std::make_unique<TNkAllPrintersInfo>(*source_);
    if (fresh->SameAs(*snapshot_))
        return false;
    snapshot_ = std::move(fresh);
    return true;
}

void TNkPrinter::CheckNoPrinter() {
    RefreshSnapshot();
    for (int i = 0; i < snapshot_->Count(); ++i) {
        if (!Hidden(snapshot_->Attributes(i)))
            return;
    }
    throw ENkPrinterNoPrinter();
}

QStringList TNkPrinter::GetPrinterNames() {
    CheckNoPrinter();
    QStringList names;
    for (int i = 0; i < snapshot_->Count(); ++i) {
        if (!Hidden(snapshot_->Attributes(i)))
            names << snapshot_->Name(i);
    }
    return names;
}

TNkPrinter& NkPrinter() {
    static TNkPrinter printer(CupsPrinterSource());
    return printer;
}

QString FindPrinterName(const QStringList& names, const QString& wanted) {
    if (names.contains(wanted))
        return wanted;
    for (const QString& name : names)
        if (name.compare(wanted, Qt::CaseInsensitive) == 0)
            return name;
    return {};
}
