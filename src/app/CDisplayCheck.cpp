#include "app/CDisplayCheck.h"

#include "core/Version.h"

#include <QList>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace displaycheck {
namespace {

struct HeldMessage
{
    QtMsgType type;
    QString text;
    QByteArray file, function, category; // the context's strings, kept alive
};

QtMessageHandler g_previous = nullptr;
int g_exitCode = 1;
QList<HeldMessage> g_held;

void guardHandler(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type == QtFatalMsg) {
        // Qt's own warning names the display it could not reach; its fatal text is generic.
        QString reason = text.section(u'\n', 0, 0).trimmed();
        for (const HeldMessage &held : std::as_const(g_held))
            if (held.text.contains(QLatin1String("connect to display")))
                reason = held.text.trimmed();
        const QString line = message(reason);
        std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
        std::fflush(stderr);
        std::_Exit(g_exitCode);
    }
    HeldMessage held{type, text, context.file, context.function, context.category};
    g_held.append(held);
}

} // namespace

QString message(const QString &reason)
{
    QString text = QStringLiteral("%1 needs a graphical desktop, but no display could be opened")
                       .arg(QLatin1String(tarvolo::kAppName));
    if (!reason.isEmpty())
        text += QStringLiteral(" (%1)").arg(reason);
    return text + u'.';
}

QString missingDisplay()
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return {};
    if (!qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return {};
    return QStringLiteral("neither DISPLAY nor WAYLAND_DISPLAY is set");
}

void armPlatformGuard(int exitCode)
{
    g_exitCode = exitCode;
    g_held.clear();
    g_previous = qInstallMessageHandler(guardHandler);
}

void disarmPlatformGuard()
{
    qInstallMessageHandler(g_previous);
    const QList<HeldMessage> held = std::exchange(g_held, {});
    for (const HeldMessage &m : held) {
        const QMessageLogContext context(m.file.isEmpty() ? nullptr : m.file.constData(), 0,
                                         m.function.isEmpty() ? nullptr : m.function.constData(),
                                         m.category.isEmpty() ? nullptr : m.category.constData());
        if (g_previous)
            g_previous(m.type, context, m.text);
        else
            std::fprintf(stderr, "%s\n", m.text.toLocal8Bit().constData());
    }
}

} // namespace displaycheck
