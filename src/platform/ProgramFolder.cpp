// The program's read-only data folder (see ProgramFolder.h).
#include "platform/ProgramFolder.h"

#include "platform/TextConvert.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#ifndef NARVO_SOURCE_RESOURCES
#define NARVO_SOURCE_RESOURCES ""
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
    return NARVO_SOURCE_RESOURCES;
}

}  // namespace narvo
