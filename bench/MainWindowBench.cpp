// The main window on 10,000 designs: start-up to the list shown, and moving to the next design
// (picture and placement reloaded, window repainted).
#include "BenchSupport.h"
#include "app/Application.h"
#include "app/TavrelU.h"
#include "platform/IniFile.h"
#include "platform/MessageService.h"
#include "platform/Settings.h"

#include <QTemporaryDir>

int main(int argc, char** argv) {
    TApplication app(argc, argv);
    InitApplication(app);
    bench::EnsureTenThousand();
    QTemporaryDir dir;
    IniWriteString(dir.filePath("TAVREL.ini"), "TAVREL", "F_DbPath01", bench::kTenThousand);
    Settings::SetExecutableFolder(dir.path());
    int messages = 0;
    Messages::SetResponder([&](const Messages::Request&) {
        ++messages;
        return Messages::Answer::Ok;
    });
    const double t0 = bench::NowMs();
    TTavrelForm form;
    form.show();
    QCoreApplication::processEvents();
    const double startup = bench::NowMs() - t0;
    std::vector<double> moves;
    for (int i = 0; i < 200; ++i) {
        const double m0 = bench::NowMs();
        form.IBQueryCard.Next();
        form.repaint();
        QCoreApplication::processEvents();
        moves.push_back(bench::NowMs() - m0);
    }
    std::printf("main window start-up on %d designs, to the list shown: %.1f ms\n",
                form.IBQueryCard.RecordCount(), startup);
    std::printf("next design (picture and placement reloaded, repainted): median %.2f ms, "
                "worst %.2f ms over 200 moves\n",
                bench::Median(moves), *std::max_element(moves.begin(), moves.end()));
    std::printf("messages shown: %d; peak resident memory %.1f MB\n", messages,
                bench::StatusMb("VmHWM:"));
    return messages == 0 ? 0 : 1;
}
