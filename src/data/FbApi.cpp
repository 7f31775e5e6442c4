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

long ErrorCode(const FbException& e) {
    const intptr_t* v = e.getStatus()->getErrors();
    for (; v && v[0] != isc_arg_end; v += 2) {
        if (v[0] == isc_arg_gds)
            return static_cast<long>(v[1]);
    }
    return 0;
}

bool IsConnectionLost(const FbException& e) {
    const intptr_t* v = e.getStatus()->getErrors();
    for (; v && v[0] != isc_arg_end; v += 2) {
        if (v[0] != isc_arg_gds)
            continue;
        switch (v[1]) {
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
