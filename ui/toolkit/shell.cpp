// The shell request, on Windows and on every other desktop.
#include "shell.h"

#include <QUrl>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#include <shellapi.h>
#else
#include <QDesktopServices>
#endif

#include <utility>

namespace toolkit {

namespace {

ShellHandler &shellHandler()
{
    static ShellHandler handler;
    return handler;
}

} // namespace

bool ShellExecute(WId owner, const QString &operation, const QString &file,
                  const QString &parameters, const QString &directory, int showCommand)
{
    if (const ShellHandler &handler = shellHandler()) {
        handler({owner, operation, file, parameters, directory, showCommand});
        return true;
    }
#ifdef Q_OS_WIN
    // Narrow strings in the system's code page, as ShellExecuteA takes them.
    const auto result =
        ::ShellExecuteA(reinterpret_cast<HWND>(owner), operation.toLocal8Bit().constData(),
                        file.toLocal8Bit().constData(), parameters.toLocal8Bit().constData(),
                        directory.toLocal8Bit().constData(), showCommand);
    return reinterpret_cast<INT_PTR>(result) > 32;
#else
    Q_UNUSED(owner);
    Q_UNUSED(parameters);
    Q_UNUSED(directory);
    Q_UNUSED(showCommand);
    if (operation != QLatin1String("open"))
        return false;
    // A bare host name is a web page; "mailto:" and other schemes stay as they are.
    QUrl url(file);
    if (url.scheme().isEmpty())
        url = QUrl(QStringLiteral("http://") + file);
    return url.isValid() && QDesktopServices::openUrl(url);
#endif
}

ShellHandler setShellHandler(ShellHandler handler)
{
    return std::exchange(shellHandler(), std::move(handler));
}

} // namespace toolkit
