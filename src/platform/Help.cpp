#include "platform/Help.h"

namespace Help {
namespace {

struct State {
    QString file;
    std::function<void(const Request&)> viewer;
    Request last;
};

State& S() {
    static State state;
    return state;
}

void Send(const Request& request) {
    S().last = request;
    if (S().viewer)
        S().viewer(request);
}

} // namespace

void SetHelpFile(const QString& fileName) {
    S().file = fileName;
}
QString HelpFile() {
    return S().file;
}
void SetViewer(std::function<void(const Request&)> viewer) {
    S().viewer = std::move(viewer);
}
void HelpContext(int context) {
    Send({0, context});
}
void HelpCommand(int command, int data) {
    Send({command, data});
}
Request LastRequest() {
    return S().last;
}

} // namespace Help
