#pragma once

#include <QString>
#include <vector>

// Japan Post's customer barcode: the postal code and the address display number taken from the
// address after the town-area name, by the rules of Japan Post's postal code and barcode manual.
namespace CustomerBarcode {

// The bar kinds, top to bottom: full length, upper half, lower half, the short timing bar.
enum class Bar : char { Long = '1', Upper = '2', Lower = '3', Timing = '4' };

struct TCustomerCode {
    QString error;          // why the data cannot be encoded; empty when it can
    QString postalCode;     // 7 digits
    QString addressNumber;  // the extracted address display number ("3-30-8-403")
    std::vector<int> codes; // the 20 symbol characters and the check digit, as values 0..18
    std::vector<Bar> bars;  // start, the 21 characters and stop: 67 bars
};

// The address display number of the part of an address after the town-area name.
QString AddressNumber(const QString& address);

// Data: the postal code (7 digits, a hyphen allowed after the third) and, after it, the address
// from the town-area name on ("263-0023 3丁目30-8 郵便ビル403号").
TCustomerCode Encode(const QString& data);

} // namespace CustomerBarcode
