// The built-in font resource (see ResourceFont.h).
#include "platform/ResourceFont.h"

#include "platform/TextConvert.h"

#include <QFile>
#include <QFontDatabase>
#include <map>
#include <stdexcept>

namespace narvo {

namespace {

// Resource names (upper case) and the Qt resources that hold them.
const std::map<std::string, QString>& FontResources()
{
    static const std::map<std::string, QString> Table{
        {"FIXEDSYS-TTF", QStringLiteral(":/fonts/DejaVuSansMono.ttf")},
    };
    return Table;
}

std::string Upper(std::string S)
{
    for (char& C : S)
        if (C >= 'a' && C <= 'z')
            C = static_cast<char>(C - 32);
    return S;
}

}  // namespace

std::optional<QFont> LoadResourceFont(const std::string& ResourceName, const std::string& FaceName, bool)
{
    const auto It = FontResources().find(Upper(ResourceName));
    if (It == FontResources().end())
        throw std::runtime_error("Resource " + ResourceName + " not found");

    // Installed once per run; the families it brought are remembered.
    static std::map<std::string, QStringList> Installed;
    auto Done = Installed.find(It->first);
    if (Done == Installed.end()) {
        QFile File(It->second);
        if (!File.open(QIODevice::ReadOnly))
            throw std::runtime_error("Resource " + ResourceName + " not found");
        const QByteArray Data = File.readAll();
        if (Data.size() < 15)
            return std::nullopt;
        const int Id = QFontDatabase::addApplicationFontFromData(Data);
        if (Id < 0)
            return std::nullopt;
        Done = Installed.emplace(It->first, QFontDatabase::applicationFontFamilies(Id)).first;
    }
    if (Done->second.isEmpty())
        return std::nullopt;
    const QString Face = AnsiToQString(FaceName);
    QFont Font(Done->second.contains(Face, Qt::CaseInsensitive) ? Face : Done->second.first());
    Font.setWeight(QFont::Normal);
    Font.setStyleHint(QFont::TypeWriter);
    return Font;
}

namespace {

// The shipped font's family, installed the first time. Only a build without the
// resource falls back to the desktop's fixed-pitch family.
QString ShippedFamily()
{
    static const QString Family = [] {
        try {
            if (const auto F = LoadResourceFont("FIXEDSYS-TTF", "", false))
                return F->family();
        } catch (const std::runtime_error&) {
        }
        return QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
    }();
    return Family;
}

}  // namespace

QString ResolveFaceName(const QString& FaceName)
{
    if (FaceName.compare(QLatin1String("FixedSys"), Qt::CaseInsensitive) == 0)
        return ShippedFamily();
    return FaceName;
}

QFont FixedSysFont()
{
    QFont F(ShippedFamily());
    F.setFixedPitch(true);
    F.setStyleHint(QFont::TypeWriter);
    return F;
}

}  // namespace narvo
