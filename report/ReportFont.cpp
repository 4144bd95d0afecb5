#include "report/ReportFont.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>

#include "base/Error.h"
#include "base/ModError.h"

namespace ReportFont {
namespace {

bool HasFamily() {
    return QFontDatabase::families().contains(QLatin1String(Family));
}

bool Resolve() {
    if (HasFamily()) {
        return true;
    }
    const QStringList files = {
        QCoreApplication::applicationDirPath() + QStringLiteral("/fonts/DejaVuSans-Bold.ttf"),
        QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"),
        QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"),
    };
    for (const QString& file : files) {
        QFontDatabase::addApplicationFont(file);
    }
    if (HasFamily()) {
        return true;
    }
    ModError::LogError("ReportFont", "Font", 0, ErrorNumber::FileNotFound,
                       "The report font DejaVu Sans is not installed (package "
                       "fonts-dejavu-core): reports are printed in a substitute");
    return false;
}

} // namespace

bool Available() {
    static const bool available = Resolve();
    if (!available) {
        return false;
    }
    return QFontInfo(Font(12, true)).family() == QLatin1String(Family);
}

QFont Font(int points, bool bold) {
    static const bool resolved = Resolve();
    (void)resolved;
    QFont font(QString::fromLatin1(Family));
    font.setPixelSize(qMax(1, points * 20));
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::PreferOutline);
    font.setKerning(true);
    return font;
}

} // namespace ReportFont
