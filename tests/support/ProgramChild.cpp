// The real program, started by tests in a child process with its settings in a folder of
// their choosing:
//   tavrel-test-child titles FOLDER  prints, per window, its caption and the title the window
//                                    system holds, then ends
//   tavrel-test-child posted FOLDER  posts designs without writing them, leaves one being
//                                    inserted, prints "ready" and runs until it is ended
#include "app/Application.h"
#include "app/TavrelU.h"
#include "data/Query.h"
#include "platform/MessageService.h"
#include "platform/Settings.h"
#include "sheets/CardSetU.h"
#include "sheets/ReadTextU.h"

#include <QGuiApplication>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

namespace {

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
    const auto cookie = xcb_intern_atom(connection, 0, static_cast<uint16_t>(strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    free(reply);
    return atom;
}

// The title as the window manager reads it from the X server.
QString NetWmName(QWidget* window) {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11)
        return QStringLiteral("(no X11)");
    xcb_connection_t* connection = x11->connection();
    const auto cookie = xcb_get_property(connection, 0, static_cast<xcb_window_t>(window->winId()),
                                         Atom(connection, "_NET_WM_NAME"),
                                         Atom(connection, "UTF8_STRING"), 0, 4096);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(connection, cookie, nullptr);
    QString name;
    if (reply) {
        name = QString::fromUtf8(static_cast<const char*>(xcb_get_property_value(reply)),
                                 xcb_get_property_value_length(reply));
        free(reply);
    }
    return name;
}

void PrintTitle(QWidget* window) {
    window->show();
    QCoreApplication::processEvents();
    std::printf("%s\t%s\n", qPrintable(window->windowTitle()), qPrintable(NetWmName(window)));
}

void PrintTitles(TTavrelForm& form) {
    PrintTitle(&form);
    TCardSetForm sheets(&form);
    PrintTitle(&sheets);
    Query none;
    TReadTextForm import(none, QStringLiteral("x.txt"), 19, &form);
    PrintTitle(&import);
    std::fflush(stdout);
}

// Two designs posted into the cache and a third still being inserted.
void PostDesigns(TTavrelForm& form) {
    Query& q = form.IBQueryCard;
    for (const char* name : {"posted one", "posted two", "being inserted"}) {
        q.Append();
        q.FieldByName(QStringLiteral("NAME")).SetValue(QString::fromUtf8(name));
        q.FieldByName(QStringLiteral("PAPERNAME")).SetValue(QStringLiteral("A4"));
    }
    std::printf("ready\n");
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3)
        return 2;
    const QByteArray mode = argv[1];
    TApplication app(argc, argv);
    Settings::SetExecutableFolder(QString::fromLocal8Bit(argv[2]));
    if (mode == "titles") {
        // Message boxes would wait for a user; the text goes to the test instead.
        Messages::SetResponder([](const Messages::Request& r) {
            std::fprintf(stderr, "%s\n", qPrintable(r.text));
            return Messages::Answer::Ok;
        });
        return RunTavrel(app, [](TTavrelForm& form) {
            QTimer::singleShot(0, &form, [&form] {
                PrintTitles(form);
                QCoreApplication::exit(0);
            });
        });
    }
    if (mode == "posted")
        return RunTavrel(app, PostDesigns);
    return 2;
}
