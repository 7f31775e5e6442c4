#include "data/FbApi.h"

#include <iberror.h>

namespace Fb {

using namespace Firebird;

IMaster* Master() {
    static IMaster* master = fb_get_master_interface();
    return master;
}

IUtil* Util() {
    return Master()->getUtilInterface();
}

IProvider* Provider() {
    static const Ref<IProvider> provider(Master()->getDispatcher());
    return provider.get();
}

Status::Status() : wrapper_(Master()->getStatus()) {}
Status::~Status() {
    wrapper_.dispose();
}

QString ErrorText(const FbException& e) {
    char buffer[2048];
    Util()->formatStatus(buffer, sizeof buffer, e.getStatus());
    return QString::fromLocal8Bit(buffer).trimmed();
}

namespace {

// The status vector's arguments of one kind. A string argument with its length is three items.
std::vector<long> Arguments(const FbException& e, intptr_t kind) {
    std::vector<long> found;
    const intptr_t* v = e.getStatus()->getErrors();
    while (v && v[0] != isc_arg_end) {
        if (v[0] == kind)
            found.push_back(static_cast<long>(v[1]));
        v += v[0] == isc_arg_cstring ? 3 : 2;
    }
    return found;
}

} // namespace

long ErrorCode(const FbException& e) {
    const std::vector<long> codes = ErrorCodes(e);
    return codes.empty() ? 0 : codes.front();
}

std::vector<long> ErrorCodes(const FbException& e) {
    return Arguments(e, isc_arg_gds);
}

int SystemError(const FbException& e) {
    const std::vector<long> numbers = Arguments(e, isc_arg_unix);
    return numbers.empty() ? 0 : static_cast<int>(numbers.front());
}

bool IsConnectionLost(const FbException& e) {
    for (const long code : ErrorCodes(e)) {
        switch (code) {
        case isc_network_error:
        case isc_net_read_err:
        case isc_net_write_err:
        case isc_lost_db_connection:
        case isc_att_shutdown:
        case isc_shutdown:
        case isc_bad_db_handle:
            return true;
        default:
            break;
        }
    }
    return false;
}

} // namespace Fb
