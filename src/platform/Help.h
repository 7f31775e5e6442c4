#pragma once

#include <QString>
#include <functional>

// The help viewer: opened at a context number or at its contents finder.
namespace Help {

inline constexpr int kHelpFinder = 11; // the contents finder command

void SetHelpFile(const QString& fileName);
QString HelpFile();

struct Request {
    int command = 0; // 0: a context, otherwise a viewer command such as kHelpFinder
    int context = 0;
};
// The viewer that shows requests; until one is installed requests are only remembered.
void SetViewer(std::function<void(const Request&)> viewer);
void HelpContext(int context);
void HelpCommand(int command, int data);
Request LastRequest();

} // namespace Help
