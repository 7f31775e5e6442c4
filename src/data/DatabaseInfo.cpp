#include "data/DatabaseInfo.h"

#include "data/Database.h"
#include "data/FbApi.h"

#include <ibase.h>

using namespace Firebird;

std::optional<QString> TDatabaseInfo::ParseVersion(const unsigned char* buffer, unsigned length) {
    // Item code, a two-byte little-endian length, a count of strings, then the strings, each
    // preceded by its length byte.
    if (!buffer || length < 4 || buffer[0] != isc_info_version)
        return std::nullopt;
    const unsigned itemLength = buffer[1] | (static_cast<unsigned>(buffer[2]) << 8);
    if (itemLength > length - 3 || itemLength < 2)
        return std::nullopt;
    const unsigned char* item = buffer + 3;
    if (item[0] == 0)
        return std::nullopt;
    const unsigned textLength = item[1];
    if (textLength > itemLength - 2)
        return std::nullopt;
    return QString::fromLatin1(reinterpret_cast<const char*>(item + 2),
                               static_cast<qsizetype>(textLength));
}

QString TDatabaseInfo::Version() const {
    if (!database_)
        throw EError(QStringLiteral("Database not assigned"));
    const unsigned char items[] = {isc_info_version, isc_info_end};
    unsigned char answer[kBufferSize] = {};
    try {
        Fb::Status st;
        database_->Attachment()->getInfo(&st, sizeof items, items, sizeof answer, answer);
    } catch (const FbException& e) {
        RaiseDatabaseError(e);
    }
    const std::optional<QString> version = ParseVersion(answer, sizeof answer);
    if (!version)
        throw EError(QStringLiteral("Unreadable server version"));
    return *version;
}
