// The program's read-only data folder (see ProgramFolder.h).
#include "platform/ProgramFolder.h"

#include "platform/TextConvert.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#ifndef NARVO_SOURCE_RESOURCES
#define NARVO_SOURCE_RESOURCES ""
#endif
#ifndef NARVO_BUILD_DIR
#define NARVO_BUILD_DIR ""
#endif

namespace narvo {

std::string ProgramFolder()
{
    // Without an application object Qt cannot tell the executable's folder; the
    // kernel can.
    const QString ExeFolder = QCoreApplication::instance()
                                  ? QCoreApplication::applicationDirPath()
                                  : QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath()).absolutePath();
    const QString Installed = QDir::cleanPath(ExeFolder + QStringLiteral("/../share/narvo"));
    if (QFileInfo(Installed).isDir())
        return QStringToFileName(Installed);
    // Only a program still in its build tree reads the source tree's files; an
    // installed one whose data is missing says so by the installed folder's name.
    const QString Build = QFileInfo(QString::fromUtf8(NARVO_BUILD_DIR)).canonicalFilePath();
    const QString Exe = QFileInfo(ExeFolder).canonicalFilePath();
    if (!Build.isEmpty() && (Exe == Build || Exe.startsWith(Build + QLatin1Char('/'))))
        return NARVO_SOURCE_RESOURCES;
    return QStringToFileName(Installed);
}

}  // namespace narvo
