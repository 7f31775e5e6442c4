// The main window on 10,000 designs (or 100,000 with the argument "100000"): start-up to the
// list shown, and moving to the next design (picture and placement reloaded, window repainted),
// with the memory held after each.
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
    const bool large = argc > 1 && QByteArray(argv[1]) == "100000";
    if (large)
        bench::EnsureHundredThousand();
    else
        bench::EnsureTenThousand();
    QTemporaryDir dir;
    IniWriteString(dir.filePath("TAVREL.ini"), "TAVREL", "F_DbPath01",
                   large ? bench::kHundredThousand : bench::kTenThousand);
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
    const double startupMb = bench::StatusMb("VmHWM:");
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
    std::printf("peak resident memory: %.1f MB with the list shown, %.1f MB after the moves "
                "(resident now %.1f MB)\n",
                startupMb, bench::StatusMb("VmHWM:"), bench::StatusMb("VmRSS:"));
    const double c0 = bench::NowMs();
    const bool closed = form.close();
    std::printf("closing with nothing to save: %.1f ms (%s)\n", bench::NowMs() - c0,
                closed ? "closed" : "refused");
    std::printf("messages shown: %d\n", messages);
    return messages == 0 ? 0 : 1;
}
